// Scans raw host characters (no terminator) as the time popup's parameter and
// checks what the time window relies on: every text within its field, a
// minute step that divides 60, a marker that is AM, PM or nothing.
#include <cstdint>

#include "call/popup_state.h"
#include "fuzz_checks.h"
#include "popups/time_parameters.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > INT32_MAX) return 0;
  PopupState& s = popupState;
  resetForTimePopup();
  s.settings.locationX = 0;
  s.settings.locationY = 0;
  // libFuzzer's buffer is exactly `size` bytes long: reading past it is caught.
  scanTimeParameters(reinterpret_cast<const char*>(data), static_cast<int32_t>(size));

  FUZZ_CHECK(terminated(s.leftText) && terminated(s.topText));
  FUZZ_CHECK(terminated(s.hourText) && terminated(s.minuteText) && terminated(s.meridiemText));
  FUZZ_CHECK(terminated(s.timeResult) && s.timeResult[0] == '\0');
  FUZZ_CHECK(s.use24Hour == 0 || s.use24Hour == 1);
  FUZZ_CHECK(s.minuteStep >= 1 && s.minuteStep <= 60 && 60 % s.minuteStep == 0);
  FUZZ_CHECK(s.meridiemText[0] == '\0' || std::strcmp(s.meridiemText, "AM") == 0 ||
             std::strcmp(s.meridiemText, "PM") == 0);
  if (size == 0) {
    FUZZ_CHECK(s.leftText[0] == '\0' && s.topText[0] == '\0' && s.hourText[0] == '\0');
    FUZZ_CHECK(s.minuteStep == 5 && s.use24Hour == 0);
    FUZZ_CHECK(s.settings.locationX == 0 && s.settings.locationY == 0);
  }
  return 0;
}
