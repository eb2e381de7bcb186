// Small helpers for the fixed-size, NUL-terminated 8-bit texts that the
// plug-in keeps in its state. Every writer is bounded by the destination's
// size: a longer source is cut, never written past the field.
#pragma once
#include <cstddef>
#include <cstdint>

// Copies at most dstSize - 1 characters of src and terminates dst.
void copyText(char* dst, size_t dstSize, const char* src);

// Copies at most min(count, dstSize - 1) characters of src (which need not be
// terminated within count) and terminates dst.
void copyTextN(char* dst, size_t dstSize, const char* src, size_t count);

// Appends one character when the field has room for it and its terminator;
// returns whether it was appended.
bool appendChar(char* dst, size_t dstSize, char c);

// Appends src after the text in dst, cut to what the field holds with its
// terminator.
void appendText(char* dst, size_t dstSize, const char* src);

// Fills the whole field with zeros (a stale byte behind a short text could
// otherwise resurface when a later writer stores at a fixed position).
void clearText(char* dst, size_t dstSize);

// Blanks, as a number's reading skips them before its first character:
// space, tab, CR, LF, VT and FF.
inline bool isBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Ends a text that another writer left without its terminator (`length`
// characters, such as a system message) before its trailing blanks and line
// ends; returns the length left.
size_t trimTrailingBlanks(char* text, size_t length);

// Reads a decimal number the way the plug-in reads every number in a text:
// leading blanks (space, tab, CR, LF, VT, FF) skipped, an optional sign, then
// digits up to the first other character; no digits gives 0. Values beyond
// the 32-bit range saturate instead of overflowing.
int32_t readDecimal(const char* text);

// Whole-text comparison that ignores the case of the letters A to Z only.
bool equalsIgnoringAsciiCase(const char* a, const char* b);

// Array-field conveniences: the size comes from the field itself.
template <size_t N> void copyText(char (&dst)[N], const char* src) { copyText(dst, N, src); }
template <size_t N> void clearText(char (&dst)[N]) { clearText(dst, N); }
template <size_t N> bool appendChar(char (&dst)[N], char c) { return appendChar(dst, N, c); }
