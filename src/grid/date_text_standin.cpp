// Temporary: formatDateText until the date text module is merged.
#include <cstdio>

#include "dates/date_text.h"

void formatDateText(char* out, size_t outSize, int32_t style, int32_t month, int32_t day, int32_t year) {
  if (outSize == 0) return;
  out[0] = '\0';
  if (style == 0) std::snprintf(out, outSize, "%02d/%02d/%d", (int)month, (int)day, (int)year);
  if (style == 1) std::snprintf(out, outSize, "%02d/%02d/%d", (int)day, (int)month, (int)year);
  if (style == 2) std::snprintf(out, outSize, "%d/%02d/%02d", (int)year, (int)month, (int)day);
}
