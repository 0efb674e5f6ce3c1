/* A plain C reference converter for the whole-program benchmark: reads new-format SPC files
 * (32-bit values) and writes every point with fprintf("%10.4f  %15.7E\r\n").
 * Usage: reference_convert OUTDIR FILE...  */
#include <math.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static int32_t le32(const unsigned char* b) {
  return (int32_t)((uint32_t)b[0] | (uint32_t)b[1] << 8 | (uint32_t)b[2] << 16 |
                   (uint32_t)b[3] << 24);
}

static double le64(const unsigned char* b) {
  uint64_t bits = 0;
  for (int i = 7; i >= 0; --i) bits = bits << 8 | b[i];
  double value;
  memcpy(&value, &bits, sizeof value);
  return value;
}

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  for (int f = 2; f < argc; ++f) {
    FILE* in = fopen(argv[f], "rb");
    if (!in) return 1;
    unsigned char header[544];
    if (fread(header, 1, sizeof header, in) != sizeof header) return 1;
    int exponent = (signed char)header[3];
    int32_t count = le32(header + 4);
    double first = le64(header + 8), last = le64(header + 16);
    double step = (last - first) / (count - 1);
    float scale = (float)ldexp(1.0, exponent - 32);
    const char* base = strrchr(argv[f], '/');
    base = base ? base + 1 : argv[f];
    char name[4096];
    snprintf(name, sizeof name, "%s/%.*s.prn", argv[1], (int)strcspn(base, "."), base);
    FILE* out = fopen(name, "wb");
    if (!out) return 1;
    unsigned char raw[4];
    for (int32_t i = 0; fread(raw, 1, 4, in) == 4; ++i) {
      double x = i * step + first;
      double y = (float)(le32(raw) * scale);
      fprintf(out, "%10.4f  %15.7E\r\n", x, y);
    }
    fclose(out);
    fclose(in);
  }
  return 0;
}
