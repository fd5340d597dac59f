/* SPDX-License-Identifier: MIT */
/* The floor of a charts-only scan of song ZIPs: a plain C program that
 * walks each archive's central directory and inflates only the *.bms
 * entries (libdeflate, whole buffers), touching nothing else. It prints
 * the number of charts and their bytes, so the work cannot be skipped.
 *
 *   bench_chart_inflate ARCHIVE.zip...
 */
#include <libdeflate.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <strings.h>

static uint32_t le16(const unsigned char* p) { return (uint32_t)p[0] | (uint32_t)p[1] << 8; }
static uint32_t le32(const unsigned char* p) { return le16(p) | le16(p + 2) << 16; }

static unsigned char* read_at(FILE* f, long at, size_t size) {
  unsigned char* b = malloc(size ? size : 1);
  if (!b || fseek(f, at, SEEK_SET) != 0 || fread(b, 1, size, f) != size) {
    free(b);
    return NULL;
  }
  return b;
}

static int is_chart(const unsigned char* name, size_t n) {
  return n >= 4 && strncasecmp((const char*)name + n - 4, ".bms", 4) == 0;
}

/* Charts inflated from one archive; -1 when it is no ZIP this reads. */
static long scan(const char* path, struct libdeflate_decompressor* d, unsigned long long* bytes) {
  FILE* f = fopen(path, "rb");
  if (!f) return -1;
  fseek(f, 0, SEEK_END);
  long size = ftell(f);
  long tail = size < 65557 ? size : 65557;
  unsigned char* t = read_at(f, size - tail, (size_t)tail);
  long charts = -1;
  if (!t) goto out;
  for (long i = tail - 22; i >= 0; --i) {
    if (le32(t + i) != 0x06054b50) continue;
    uint32_t count = le16(t + i + 10), dirSize = le32(t + i + 12), dirAt = le32(t + i + 16);
    unsigned char* dir = read_at(f, (long)dirAt, dirSize);
    if (!dir) break;
    charts = 0;
    for (uint32_t k = 0, p = 0; k < count && p + 46 <= dirSize; ++k) {
      const unsigned char* r = dir + p;
      uint32_t method = le16(r + 10), packed = le32(r + 20), full = le32(r + 24);
      uint32_t nameLen = le16(r + 28), extraLen = le16(r + 30), commentLen = le16(r + 32), local = le32(r + 42);
      if (is_chart(r + 46, nameLen) && (method == 0 || method == 8)) {
        unsigned char* head = read_at(f, (long)local, 30);
        if (head) {
          long data = (long)local + 30 + le16(head + 26) + le16(head + 28);
          unsigned char* in = read_at(f, data, packed);
          unsigned char* out = malloc(full ? full : 1);
          if (in && out &&
              (method == 0 || libdeflate_deflate_decompress(d, in, packed, out, full, NULL) == LIBDEFLATE_SUCCESS)) {
            ++charts;
            *bytes += full;
          }
          free(in);
          free(out);
          free(head);
        }
      }
      p += 46 + nameLen + extraLen + commentLen;
    }
    free(dir);
    break;
  }
out:
  free(t);
  fclose(f);
  return charts;
}

int main(int argc, char** argv) {
  struct libdeflate_decompressor* d = libdeflate_alloc_decompressor();
  unsigned long long bytes = 0;
  long charts = 0;
  int failed = 0;
  for (int i = 1; i < argc; ++i) {
    long n = scan(argv[i], d, &bytes);
    if (n < 0) {
      fprintf(stderr, "%s: not read\n", argv[i]);
      failed = 1;
    } else {
      charts += n;
    }
  }
  libdeflate_free_decompressor(d);
  printf("%ld charts, %llu bytes\n", charts, bytes);
  return failed;
}
