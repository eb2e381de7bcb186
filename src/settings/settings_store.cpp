#include "settings/settings_store.h"

#include <algorithm>
#include <cstring>

#include "common/text.h"
#include "settings/theme_tables.h"

const char* const kSettingsKeyPath = "Software\\Vantrell\\XELMCalendar\\Settings";
const char* const kDefaultTitle = "Datewell 3.0";

const char* const kTitleValue = "Title";
const char* const kLanguageValue = "Language";
const char* const kCalendarTypeValue = "CalendarType";
const char* const kDateStyleValue = "DateStyle";
const char* const kSelectionMethodValue = "DateSelectionMethod";
const char* const kLocationValue = "Location";
const char* const kLocationXValue = "LocationX";
const char* const kLocationYValue = "LocationY";
const char* const kSizeValue = "Size";
const char* const kThemeValue = "Theme";
const char* const kFontValue = "Font";

bool finishSettingText(char* buffer, size_t bytesRead, size_t limit) {
  size_t length = 0;
  while (length < bytesRead && buffer[length] != '\0') ++length;
  if (length > limit) return false;
  buffer[length] = '\0';  // length <= limit, inside the limit + 1 bytes
  return true;
}

int32_t storedIndex(const char* text, int32_t count) {
  int32_t value = readDecimal(text);
  return (value >= 0 && value < count) ? value : -1;
}

int32_t settingIndex(const char* text, int32_t count) { return std::max(storedIndex(text, count), 0); }

void defaultSettings(PopupSettings& settings) {
  std::memset(&settings, 0, sizeof settings);
  copyText(settings.title, kDefaultTitle);
  settings.scale = 1.0f;
}

namespace {

// The index stored under `name`, or 0 when it is missing or out of range.
int32_t readIndex(SettingReader read, void* context, const char* name, int32_t count) {
  char text[kIndexLimit + 1] = {};
  return read(context, name, kIndexLimit, text) ? settingIndex(text, count) : 0;
}

// A screen position stored under `name`, or 0 when it is missing.
int32_t readPosition(SettingReader read, void* context, const char* name) {
  char text[kPositionLimit + 1] = {};
  return read(context, name, kPositionLimit, text) ? readDecimal(text) : 0;
}

}  // namespace

void decodeSettings(SettingReader read, void* context, PopupMode mode, PopupSettings& settings) {
  defaultSettings(settings);
  char title[kTitleLimit + 1] = {};
  if (read(context, kTitleValue, kTitleLimit, title)) copyText(settings.title, title);
  settings.language = readIndex(read, context, kLanguageValue, kLanguageCount);
  settings.calendarType = readIndex(read, context, kCalendarTypeValue, kCalendarTypeCount);
  settings.dateStyle = readIndex(read, context, kDateStyleValue, kDateStyleCount);
  settings.selectionMethod = readIndex(read, context, kSelectionMethodValue, kSelectionMethodCount);
  settings.location = readIndex(read, context, kLocationValue, kLocationCount);
  if (settings.location == 1) {
    settings.locationX = readPosition(read, context, kLocationXValue);
    settings.locationY = readPosition(read, context, kLocationYValue);
  }
  settings.sizeIndex = readIndex(read, context, kSizeValue, kSizeCount);
  settings.scale = mode == YearView ? scaleForSize(settings.sizeIndex) : 1.0f;
  settings.theme = readIndex(read, context, kThemeValue, kThemeCount);
  settings.font = readIndex(read, context, kFontValue, kFontCount);
}

int settingWrites(const SettingTexts& texts, SettingWrite (&writes)[kMaxSettingWrites]) {
  int count = 0;
  writes[count++] = {kTitleValue, texts.title};
  writes[count++] = {kLanguageValue, texts.language};
  writes[count++] = {kCalendarTypeValue, texts.calendarType};
  writes[count++] = {kDateStyleValue, texts.dateStyle};
  writes[count++] = {kSelectionMethodValue, texts.selectionMethod};
  writes[count++] = {kLocationValue, texts.location};
  if (std::strcmp(texts.location, "0") != 0) {
    writes[count++] = {kLocationXValue, texts.left};
    writes[count++] = {kLocationYValue, texts.top};
  }
  writes[count++] = {kSizeValue, texts.size};
  writes[count++] = {kThemeValue, texts.theme};
  writes[count++] = {kFontValue, texts.font};
  return count;
}

void setIndexText(char (&text)[2], int32_t position, int32_t count) {
  text[0] = static_cast<char>('0' + (position >= 0 && position < count && position <= 9 ? position : 0));
  text[1] = '\0';
}

bool positionsMissing(const SettingTexts& texts) {
  return std::strcmp(texts.location, "0") != 0 && (texts.left[0] == '\0' || texts.top[0] == '\0');
}
