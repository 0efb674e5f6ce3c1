# The two everyday commands (demo, test) plus the sanitizer run, the benchmarks and the fuzzing.
# Each target first installs what a fresh machine lacks.

BUILD ?= build
ASAN_BUILD ?= build-asan
BENCH_BUILD ?= build-bench
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
# Each fuzz target with the longest input it is given.
FUZZ_TARGETS = fuzz_control_file:4096 fuzz_spectrum_file:4096 fuzz_layout:512 fuzz_layout_read:1024
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE_FLAGS ?=

.PHONY: all deps build test asan bench fuzz demo format clean

all: build

deps:
	@./tools/install-deps.sh

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS) >/dev/null
	cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

asan: deps
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSPC2PRN_SANITIZE=ON >/dev/null
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --output-on-failure -j $(JOBS)

bench: deps
	cmake -S . -B $(BENCH_BUILD) -DCMAKE_BUILD_TYPE=Release -DSPC2PRN_BENCH=ON >/dev/null
	cmake --build $(BENCH_BUILD) -j $(JOBS)
	./bench/run.sh $(BENCH_BUILD)

# Builds the fuzz targets with clang and runs each for FUZZ_SECONDS from generated seeds; new
# inputs gather in $(FUZZ_BUILD)/fuzz-corpus, crashing ones in $(FUZZ_BUILD)/fuzz-artifacts.
fuzz: deps
	@command -v clang++ >/dev/null 2>&1 || { SUDO=""; [ "$$(id -u)" -eq 0 ] || SUDO=sudo; \
	  $$SUDO apt-get update -qq && DEBIAN_FRONTEND=noninteractive $$SUDO apt-get install -y -qq clang; }
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSPC2PRN_FUZZ=ON >/dev/null
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target spcwrite $(foreach t,$(FUZZ_TARGETS),$(firstword $(subst :, ,$(t))))
	./tools/fuzz-seeds.sh $(FUZZ_BUILD)
	@set -e; for entry in $(FUZZ_TARGETS); do \
	  name=$${entry%%:*}; length=$${entry##*:}; \
	  mkdir -p $(FUZZ_BUILD)/fuzz-corpus/$$name $(FUZZ_BUILD)/fuzz-artifacts; \
	  echo "== $$name for $(FUZZ_SECONDS) s"; \
	  $(FUZZ_BUILD)/tests/fuzz/$$name -max_total_time=$(FUZZ_SECONDS) -max_len=$$length -timeout=10 \
	    -print_final_stats=1 -artifact_prefix=$(FUZZ_BUILD)/fuzz-artifacts/$$name- \
	    $(FUZZ_BUILD)/fuzz-corpus/$$name $(FUZZ_BUILD)/fuzz-seeds/$$name; \
	done

demo: build
	./tools/demo.sh $(BUILD)

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(BENCH_BUILD) $(FUZZ_BUILD)
