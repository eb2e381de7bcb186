// Today's date from the system clock, converted to local calendar time.
#include <windows.h>

#include "dates/date_text.h"

LocalDate todayLocal() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return {now.wYear, now.wMonth, now.wDay};
}
