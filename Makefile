# The two everyday commands (demo, test) plus the sanitizer run and the benchmarks.
# Each target first installs what a fresh machine lacks.

BUILD ?= build
ASAN_BUILD ?= build-asan
BENCH_BUILD ?= build-bench
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE_FLAGS ?=

.PHONY: all deps build test asan bench demo format clean

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

demo: build
	./tools/demo.sh $(BUILD)

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(BENCH_BUILD)
