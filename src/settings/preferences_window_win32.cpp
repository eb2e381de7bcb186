// The Preferences window (dialog 125): shows the stored preferences when it
// opens and writes them all back on OK. It keeps no state beyond its
// controls; nothing reaches the registry before OK.
#include "settings/preferences_window_win32.h"

#include <windows.h>

#include <cstdio>
#include <initializer_list>

#include "call/host_interface.h"
#include "common/list_fill_win32.h"
#include "common/message_box_win32.h"
#include "common/owner_area_win32.h"
#include "common/placement.h"
#include "common/text.h"
#include "resources/resource_ids.h"
#include "settings/settings_store.h"
#include "settings/settings_store_win32.h"
#include "settings/theme_tables.h"

namespace {

const char* const calendarTypeNames[] = {"Sunday", "Monday"};
const char* const dateStyleNames[] = {"mm/dd/yyyy", "dd/mm/yyyy", "yyyy/mm/dd"};
const char* const selectionMethodNames[] = {"Date Click", "Command Buttons"};
const char* const locationNames[] = {"Centered", "Specified"};

// A list of the window, its entries in the order they are added, and the
// registry value it stands for. Apart from the (sorted) language list, an
// entry's position is the stored index.
struct PreferenceList {
  int id;
  const char* const* entries;
  int32_t count;
  const char* value;
};

const PreferenceList preferenceLists[] = {
    {IDC_PREF_LANGUAGE, languageNames, kLanguageCount, kLanguageValue},
    {IDC_PREF_CALENDAR_TYPE, calendarTypeNames, kCalendarTypeCount, kCalendarTypeValue},
    {IDC_PREF_DATE_STYLE, dateStyleNames, kDateStyleCount, kDateStyleValue},
    {IDC_PREF_SELECTION, selectionMethodNames, kSelectionMethodCount, kSelectionMethodValue},
    {IDC_PREF_LOCATION, locationNames, kLocationCount, kLocationValue},
    {IDC_PREF_SIZE, sizeNames, kSizeCount, kSizeValue},
    {IDC_PREF_THEME, themeNames, kThemeCount, kThemeValue},
    {IDC_PREF_FONT, faceNames, kFontCount, kFontValue},
};

const char* const kPositionsWarning = "You must specify Left and Top positions.";

void warn(const char* text) { showMessage("WARNING", text); }

// "storing Language, Theme": the values a save could not store, or what
// failed before any could be written.
void describeFailedAction(const SaveOutcome& outcome, char (&action)[200]) {
  if (outcome.failedCount == 0) {
    copyText(action, "opening their registry key");
    return;
  }
  int length = std::snprintf(action, sizeof action, "storing %s", outcome.failedValues[0]);
  for (int i = 1; i < outcome.failedCount && length > 0 && length < static_cast<int>(sizeof action); ++i)
    length += std::snprintf(action + length, sizeof action - length, ", %s", outcome.failedValues[i]);
}

// Tells the user in plain words why OK stored nothing, or not everything.
// `openingError` is how creating the key went when the window opened: a key
// that is missing because it could never be created is reported with that
// cause. The causes a user can act on get their own words; any other is
// given once, as the system describes the first error, with every value
// that could not be stored.
void warnSaveFailed(SaveOutcome outcome, LONG openingError) {
  char action[200];
  describeFailedAction(outcome, action);
  const bool writesFailed = outcome.failedCount > 0;
  const bool neverCreated = !writesFailed && outcome.error == ERROR_FILE_NOT_FOUND && openingError != ERROR_SUCCESS;
  if (neverCreated) {
    outcome.error = openingError;
    copyText(action, "creating their registry key");
  }
  char reason[400];
  if (outcome.error == ERROR_ACCESS_DENIED) {
    copyText(reason, "saving them needs the right to change settings for all users of this computer.");
  } else if (!neverCreated && (outcome.error == ERROR_FILE_NOT_FOUND || outcome.error == ERROR_KEY_DELETED)) {
    copyText(reason, "their registry key was removed while this window was open. "
                     "Opening Preferences again creates it anew.");
  } else {
    char system[200];
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                  static_cast<DWORD>(outcome.error), 0, system, sizeof system, nullptr);
    while (length > 0 && (system[length - 1] == '\r' || system[length - 1] == '\n' || system[length - 1] == ' '))
      --length;
    system[length] = '\0';
    if (length == 0) std::snprintf(system, sizeof system, "error %ld", static_cast<long>(outcome.error));
    std::snprintf(reason, sizeof reason, "Windows reported \"%s\" when %s.", system, action);
  }
  char text[500];
  std::snprintf(text, sizeof text, "Your preferences could not %s: %s", writesFailed ? "all be saved" : "be saved",
                reason);
  warn(text);
}

LRESULT sendItem(HWND window, int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
  return SendDlgItemMessageA(window, id, message, wParam, lParam);
}

int32_t selectedPosition(HWND window, int id) { return static_cast<int32_t>(sendItem(window, id, CB_GETCURSEL)); }

// Selecting a position the list does not have clears its selection, as
// Windows does for CB_SETCURSEL (Wine keeps the old selection for some).
void selectPosition(HWND window, int id, int32_t position) {
  if (position < 0 || position >= sendItem(window, id, CB_GETCOUNT)) position = -1;
  sendItem(window, id, CB_SETCURSEL, static_cast<WPARAM>(position));
}

// Shows the Left and Top boxes and their labels, or hides them; their texts
// are kept either way.
void showPositionGroup(HWND window, bool show) {
  for (int id : {IDC_PREF_LEFT_LABEL, IDC_PREF_LEFT, IDC_PREF_TOP_LABEL, IDC_PREF_TOP})
    ShowWindow(GetDlgItem(window, id), show ? SW_SHOW : SW_HIDE);
}

// The group is shown exactly while the location list shows Specified.
void updatePositionGroup(HWND window) { showPositionGroup(window, selectedPosition(window, IDC_PREF_LOCATION) == 1); }

// Selects the language entry that begins with the name of language `index`
// (the list is sorted, so a position is not an index); an index outside the
// table leaves the list without a selection, as the other lists do.
void selectLanguage(HWND window, int32_t index) {
  LRESULT position = CB_ERR;
  if (index >= 0 && index < kLanguageCount)
    position = sendItem(window, IDC_PREF_LANGUAGE, CB_FINDSTRING, static_cast<WPARAM>(-1),
                        reinterpret_cast<LPARAM>(languageNames[index]));
  selectPosition(window, IDC_PREF_LANGUAGE, static_cast<int32_t>(position));
}

// Top-left corner that centres the window over its owner, or over the work
// area of the screen when it has no owner, then kept within the work area.
POINT centredPosition(HWND window, int width, int height) {
  RECT area = ownerOrWorkArea(window);
  const LONG left = centredStart(area.left, area.right, width), top = centredStart(area.top, area.bottom, height);
  const RECT placed = keptInWorkArea({left, top, left + width, top + height});
  POINT origin = {placed.left, placed.top};
  return origin;
}

// Adds the entries of the eight lists and selects the first entry of each,
// "English" in the sorted language list.
void fillPreferenceLists(HWND window) {
  for (const PreferenceList& list : preferenceLists) {
    {
      ListFill fill(GetDlgItem(window, list.id));
      for (int32_t i = 0; i < list.count; ++i) fill.add(list.entries[i]);
    }
    selectPosition(window, list.id, 0);
  }
  selectLanguage(window, 0);
}

// Shows the stored values of the open key; a value that is missing leaves
// its control showing the default.
void showStoredValues(HWND window, HKEY key) {
  char title[kTitleLimit + 1];
  if (readSettingText(key, kTitleValue, kTitleLimit, title)) SetDlgItemTextA(window, IDC_PREF_TITLE, title);
  for (const PreferenceList& list : preferenceLists) {
    char text[kIndexLimit + 1];
    if (!readSettingText(key, list.value, kIndexLimit, text)) continue;
    if (list.id == IDC_PREF_LANGUAGE) selectLanguage(window, readDecimal(text));
    else selectPosition(window, list.id, readDecimal(text));
  }
  // The positions are shown whatever the location is; hidden boxes keep them.
  char position[kPositionLimit + 1];
  if (readSettingText(key, kLocationXValue, kPositionLimit, position)) SetDlgItemTextA(window, IDC_PREF_LEFT, position);
  if (readSettingText(key, kLocationYValue, kPositionLimit, position)) SetDlgItemTextA(window, IDC_PREF_TOP, position);
}

void onInitDialog(HWND window) {
  RECT frame;
  GetWindowRect(window, &frame);
  int width = frame.right - frame.left, height = frame.bottom - frame.top;
  POINT origin = centredPosition(window, width, height);

  // The defaults first: what the date popups use for a value not stored.
  fillPreferenceLists(window);
  SetDlgItemTextA(window, IDC_PREF_TITLE, kDefaultTitle);
  // Opening the window creates the key and any missing parent. How that went
  // is kept with the window (DWLP_USER), for OK to explain a failed save.
  HKEY key = nullptr;
  LONG opening = RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSettingsKeyPath, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                 KEY_QUERY_VALUE | KEY_CREATE_SUB_KEY, nullptr, &key, nullptr);
  SetWindowLongPtrA(window, DWLP_USER, opening);
  // A user without the right to change the machine's settings may still read
  // them: the window shows the values the date popups use, and OK explains
  // why it cannot store them. A key that cannot be read at all leaves the
  // defaults shown, which is what the popups then use too.
  if (opening != ERROR_SUCCESS &&
      RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSettingsKeyPath, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
    key = nullptr;
  if (key) {
    showStoredValues(window, key);
    RegCloseKey(key);
  }
  updatePositionGroup(window);

  SetFocus(GetDlgItem(window, IDC_PREF_TITLE));
  ShowWindow(window, SW_SHOW);
  MoveWindow(window, origin.x, origin.y, width, height, TRUE);
}

// The stored index text of a list: its selected position, or for the sorted
// language list the index of the language whose name the list shows.
void readIndexText(HWND window, const PreferenceList& list, char (&text)[2]) {
  if (list.id != IDC_PREF_LANGUAGE) {
    setIndexText(text, selectedPosition(window, list.id), list.count);
    return;
  }
  char name[10];  // "Norwegian", the longest name, and its terminator
  GetDlgItemTextA(window, IDC_PREF_LANGUAGE, name, sizeof name);
  setIndexText(text, languageIndex(name), kLanguageCount);
}

// The text of a Left or Top box as OK stores it. A position the user typed
// keeps its first three characters, so that stored positions stay within 0
// to 999; one shown from the registry and left alone is stored as it was
// read (up to four characters, such as 1200 or -100 written by another
// tool), so that OK does not move a window the user did not touch.
void readPositionText(HWND window, int id, char (&text)[kPositionLimit + 1]) {
  const bool typed = sendItem(window, id, EM_GETMODIFY) != 0;
  GetDlgItemTextA(window, id, text, typed ? 4 : static_cast<int>(sizeof text));
}

void onOk(HWND window) {
  SettingTexts texts = {};
  GetDlgItemTextA(window, IDC_PREF_TITLE, texts.title, sizeof texts.title);
  char (*const indexTexts[])[2] = {&texts.language, &texts.calendarType, &texts.dateStyle, &texts.selectionMethod,
                                   &texts.location, &texts.size,         &texts.theme,     &texts.font};
  for (size_t i = 0; i < sizeof preferenceLists / sizeof preferenceLists[0]; ++i)
    readIndexText(window, preferenceLists[i], *indexTexts[i]);
  readPositionText(window, IDC_PREF_LEFT, texts.left);
  readPositionText(window, IDC_PREF_TOP, texts.top);

  if (positionsMissing(texts)) {
    warn(kPositionsWarning);
    return;  // the window stays open as it was; nothing is written
  }
  // A failed save keeps the window open with the user's input, so that the
  // choices are not lost unnoticed: the user can try again or cancel.
  SaveOutcome saved = saveSettings(texts);
  if (saved.error != ERROR_SUCCESS) {
    warnSaveFailed(saved, static_cast<LONG>(GetWindowLongPtrA(window, DWLP_USER)));
    return;
  }
  EndDialog(window, 0);
}

void onCommand(HWND window, int id, int notification) {
  switch (id) {
    case IDOK:
      if (notification == BN_CLICKED) onOk(window);
      break;
    case IDCANCEL:
      EndDialog(window, 0);
      break;
    case IDC_PREF_LOCATION:
      if (notification == CBN_SELCHANGE) updatePositionGroup(window);
      break;
    default:
      break;
  }
}

}  // namespace

INT_PTR CALLBACK preferencesWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      onInitDialog(window);
      break;
    case WM_COMMAND:
      onCommand(window, LOWORD(wParam), HIWORD(wParam));
      break;
    case WM_CLOSE:
      EndDialog(window, 0);
      break;
    default:
      break;
  }
  return 0;
}

void runPreferencesWindow() {
  DialogBoxParamA(moduleInstance(), MAKEINTRESOURCEA(IDD_PREFERENCES), GetActiveWindow(), preferencesWindowProc, 0);
}
