#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "common/text.h"

namespace {

enum Writer { Copy, Append, AppendChar, TrimEnd };

// Each writer gets the first `size` bytes of a buffer whose bytes after the
// text before are '#': whatever it writes must stay within its bytes.
TEST(Text, WritersStayWithinTheirField) {
  struct Case {
    Writer writer;
    const char* before;
    size_t size;
    const char *added, *after;
    bool done;
  } cases[] = {
      {Copy, "x", 1, "abc", "", true},
      {Copy, "", 3, "abc", "ab", true},
      {Append, "ab", 4, "xyz", "abx", true},
      {Append, "abc", 4, "xyz", "abc", true},
      {AppendChar, "ab", 4, "c", "abc", true},
      {AppendChar, "abc", 4, "d", "abc", false},
      // size: the characters a system call wrote, without a terminator
      {TrimEnd, "", 0, "", "", true},
      {TrimEnd, "Denied.\r\n", 9, "", "Denied.", true},
      {TrimEnd, " \r\n", 3, "", "", true},
      {TrimEnd, "ab\r\nxyz", 4, "", "ab", true},
  };
  for (const Case& c : cases) {
    char buffer[16];
    std::memset(buffer, '#', sizeof buffer);
    std::memcpy(buffer, c.before, std::strlen(c.before) + 1);
    bool done = true;
    if (c.writer == Copy) copyText(buffer, c.size, c.added);
    if (c.writer == Append) appendText(buffer, c.size, c.added);
    if (c.writer == AppendChar) done = appendChar(buffer, c.size, c.added[0]);
    if (c.writer == TrimEnd) done = trimTrailingBlanks(buffer, c.size) == std::strlen(c.after);
    EXPECT_STREQ(buffer, c.after) << c.before << " + " << c.added;
    const size_t kept = std::max(c.size, std::strlen(c.before) + 1);
    EXPECT_EQ(std::string(buffer + kept, sizeof buffer - kept), std::string(sizeof buffer - kept, '#')) << c.added;
    EXPECT_EQ(done, c.done) << c.before << " + " << c.added;
  }
}

TEST(Text, NumbersAndKeywords) {
  struct Case { const char* text; int32_t value; } numbers[] = {
      {nullptr, 0}, {"", 0}, {" \t\r\n-12x", -12}, {"99999999999", INT32_MAX}, {"-21474836470", INT32_MIN},
  };
  for (const Case& c : numbers) EXPECT_EQ(readDecimal(c.text), c.value) << (c.text ? c.text : "null");
  EXPECT_TRUE(equalsIgnoringAsciiCase("Zebra", "zEBRA"));
  EXPECT_FALSE(equalsIgnoringAsciiCase("ab", "abc"));
}

}  // namespace
