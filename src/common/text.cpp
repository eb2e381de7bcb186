#include "common/text.h"

#include <cstring>

void copyText(char* dst, size_t dstSize, const char* src) {
  copyTextN(dst, dstSize, src, src ? std::strlen(src) : 0);
}

void copyTextN(char* dst, size_t dstSize, const char* src, size_t count) {
  if (dstSize == 0) return;
  size_t n = 0;
  if (src) {
    while (n < count && n + 1 < dstSize && src[n] != '\0') {
      dst[n] = src[n];
      ++n;
    }
  }
  dst[n] = '\0';
}

bool appendChar(char* dst, size_t dstSize, char c) {
  size_t len = strnlen(dst, dstSize);
  if (len + 1 >= dstSize) return false;
  dst[len] = c;
  dst[len + 1] = '\0';
  return true;
}

void appendText(char* dst, size_t dstSize, const char* src) {
  const size_t len = strnlen(dst, dstSize);
  if (len < dstSize) copyText(dst + len, dstSize - len, src);
}

void clearText(char* dst, size_t dstSize) { std::memset(dst, 0, dstSize); }

size_t trimTrailingBlanks(char* text, size_t length) {
  while (length > 0 && isBlank(text[length - 1])) --length;
  text[length] = '\0';
  return length;
}

int32_t readDecimal(const char* text) {
  if (!text) return 0;
  const char* p = text;
  while (isBlank(*p)) ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = (*p++ == '-');
  int64_t value = 0;
  while (*p >= '0' && *p <= '9') {
    if (value <= INT32_MAX) value = value * 10 + (*p - '0');
    ++p;
  }
  if (negative) value = -value;
  if (value > INT32_MAX) return INT32_MAX;
  if (value < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(value);
}

static char asciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool equalsIgnoringAsciiCase(const char* a, const char* b) {
  while (*a && *b) {
    if (asciiLower(*a) != asciiLower(*b)) return false;
    ++a;
    ++b;
  }
  return *a == *b;
}
