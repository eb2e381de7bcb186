// The preferences stored as eleven REG_SZ texts under the key
// HKEY_LOCAL_MACHINE "Software\Vantrell\XELMCalendar\Settings", their read
// limits and defaults, loaded afresh by every date call.
//
// Stored form: every value is 8-bit text; all but Title hold a decimal
// number. A value is read into a buffer of limit + 1 bytes, whatever type it
// is stored with, and counts as missing when it does not exist or has more
// characters than its limit (a NUL stored after the text is not counted). A
// missing value takes its default: "Datewell 3.0" for Title, 0 for every
// number. A single digit outside the range of its field counts as missing
// too, so no stored text can make a table or list index go out of bounds.
#pragma once
#include <cstddef>
#include <cstdint>

#include "call/popup_state.h"

extern const char* const kSettingsKeyPath;
extern const char* const kDefaultTitle;  // "Datewell 3.0"

// Value names.
extern const char* const kTitleValue;
extern const char* const kLanguageValue;
extern const char* const kCalendarTypeValue;
extern const char* const kDateStyleValue;
extern const char* const kSelectionMethodValue;
extern const char* const kLocationValue;
extern const char* const kLocationXValue;
extern const char* const kLocationYValue;
extern const char* const kSizeValue;
extern const char* const kThemeValue;
extern const char* const kFontValue;

// Read limits in characters; buffers are one byte larger.
constexpr size_t kTitleLimit = 49;
constexpr size_t kIndexLimit = 1;
constexpr size_t kPositionLimit = 4;

// Number of entries of each index field; a stored index must lie below it.
constexpr int32_t kCalendarTypeCount = 2;
constexpr int32_t kDateStyleCount = 3;
constexpr int32_t kSelectionMethodCount = 2;
constexpr int32_t kLocationCount = 2;

// Terminates the bytes that one registry read put into `buffer` (of
// limit + 1 bytes, `bytesRead` of them filled). The text ends at the first
// NUL or at bytesRead. False when it has more than `limit` characters, which
// makes the value count as missing.
bool finishSettingText(char* buffer, size_t bytesRead, size_t limit);

// The value of a one-character index text when it is a digit below `count`;
// -1 for anything else.
int32_t storedIndex(const char* text, int32_t count);

// storedIndex, with 0 (the default) for anything outside the table.
int32_t settingIndex(const char* text, int32_t count);

// Where loading takes its texts from: reads value `name` into `text` (limit +
// 1 bytes, terminated) and returns true, or returns false when it is missing.
typedef bool (*SettingReader)(void* context, const char* name, size_t limit, char* text);

// Every field at its default; scale 1.0.
void defaultSettings(PopupSettings& settings);

// Fills every field from `read`, in the order the values are stored: Title,
// Language, CalendarType, DateStyle, DateSelectionMethod, Location (then
// LocationX and LocationY only when Location is 1), Size, Theme, Font. The
// scale follows Size in the year view and is 1.0 otherwise.
void decodeSettings(SettingReader read, void* context, PopupMode mode, PopupSettings& settings);

// The texts the Preferences window saves: the title, each list's index in
// decimal, and the left and top texts.
struct SettingTexts {
  char title[kTitleLimit + 1];
  char language[2];
  char calendarType[2];
  char dateStyle[2];
  char selectionMethod[2];
  char location[2];
  char size[2];
  char theme[2];
  char font[2];
  char left[kPositionLimit + 1];
  char top[kPositionLimit + 1];
};

// One value to write: its name and its text.
struct SettingWrite {
  const char* name;
  const char* text;
};
constexpr int kMaxSettingWrites = 11;

// The values saveSettings writes, in order: LocationX and LocationY only
// when the location text is other than "0". Returns how many were filled.
int settingWrites(const SettingTexts& texts, SettingWrite (&writes)[kMaxSettingWrites]);

// The decimal text of a list position below `count`; a list without a
// selection (-1) or an unknown position gives "0", the default that loading
// gives the same stored value.
void setIndexText(char (&text)[2], int32_t position, int32_t count);

// True when Specified is chosen (location other than "0") and the left or
// the top text is empty: the Preferences window then warns and saves nothing.
bool positionsMissing(const SettingTexts& texts);

// Fills popupState.settings from the registry (defaults for what is missing);
// needs popupState.mode, since the scale depends on it. Cannot fail.
void loadSettings();

// How a save ended. Every value is attempted, whatever became of the ones
// before it. error is 0 when all were stored; otherwise it is the platform's
// error code of the first failure, and failedValues names, in the order they
// were written, the failedCount values that could not be stored; storedCount
// values were. An error with no failed value means the key itself could not
// be opened for writing, and nothing was written.
struct SaveOutcome {
  int32_t error;
  int storedCount;
  int failedCount;
  const char* failedValues[kMaxSettingWrites];
};

// Writes the texts as REG_SZ without terminator into the existing settings
// key.
SaveOutcome saveSettings(const SettingTexts& texts);
