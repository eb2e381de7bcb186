// The settings store over the Windows registry: the key is opened for each
// load or save and closed at once; every value is REG_SZ.
#include "settings/settings_store_win32.h"

#include <cstring>

#include "settings/settings_store.h"

bool readSettingText(HKEY key, const char* name, size_t limit, char* text) {
  DWORD size = static_cast<DWORD>(limit + 1);
  // A value longer than the buffer fails here with ERROR_MORE_DATA. The type
  // is not asked for: whatever tool stored the value, its bytes are the text.
  if (RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size) != ERROR_SUCCESS)
    return false;
  return finishSettingText(text, size, limit);
}

namespace {

bool readFromKey(void* context, const char* name, size_t limit, char* text) {
  return readSettingText(*static_cast<HKEY*>(context), name, limit, text);
}

}  // namespace

void loadSettings() {
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSettingsKeyPath, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
    defaultSettings(popupState.settings);
    return;
  }
  decodeSettings(readFromKey, &key, popupState.mode, popupState.settings);
  RegCloseKey(key);
}

SaveOutcome saveSettings(const SettingTexts& texts) {
  SaveOutcome outcome = {};
  HKEY key;
  outcome.error = RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSettingsKeyPath, 0, KEY_SET_VALUE, &key);
  if (outcome.error != ERROR_SUCCESS) return outcome;
  SettingWrite writes[kMaxSettingWrites];
  const int count = settingWrites(texts, writes);
  for (int i = 0; i < count; ++i) {
    // The characters only, without a terminating NUL; an empty text gives a
    // value of length 0.
    const LONG status = RegSetValueExA(key, writes[i].name, 0, REG_SZ, reinterpret_cast<const BYTE*>(writes[i].text),
                                       static_cast<DWORD>(std::strlen(writes[i].text)));
    if (status == ERROR_SUCCESS) {
      ++outcome.storedCount;
      continue;
    }
    if (outcome.failedCount == 0) outcome.error = status;
    outcome.failedValues[outcome.failedCount++] = writes[i].name;
  }
  RegCloseKey(key);
  return outcome;
}
