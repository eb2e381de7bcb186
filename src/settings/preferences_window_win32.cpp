// The Preferences window (dialog 125): shows the stored preferences when it
// opens and writes them all back on OK. It keeps no state beyond its
// controls; nothing reaches the registry before OK.
#include "settings/preferences_window_win32.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "call/host_interface.h"
#include "common/list_fill_win32.h"
#include "common/list_text_win32.h"
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

// The fewest characters a position box takes: 0 to 999 typed into an empty
// box. A box showing a longer stored position takes as many as it shows.
constexpr WPARAM kTypedPositionLimit = 3;

const char* const kPositionsWarning = "You must specify Left and Top positions.";

void warn(HWND window, const char* text) { showMessage(window, "WARNING", text); }

// The window's label of each stored value, as a user knows it.
const struct {
  const char* value;
  const char* label;
} valueLabels[] = {
    {kTitleValue, "Title"},
    {kLanguageValue, "Language"},
    {kCalendarTypeValue, "Calendar Type"},
    {kDateStyleValue, "Date Style"},
    {kSelectionMethodValue, "Date Selection Method"},
    {kLocationValue, "Location"},
    {kLocationXValue, "Left"},
    {kLocationYValue, "Top"},
    {kSizeValue, "Year Popup Size"},
    {kThemeValue, "Theme"},
    {kFontValue, "Font"},
};

const char* labelOf(const char* value) {
  for (const auto& entry : valueLabels)
    if (std::strcmp(entry.value, value) == 0) return entry.label;
  return value;
}

// "Language, Theme": the labels of the values a save could not store.
void listFailedLabels(const SaveOutcome& outcome, char (&labels)[300]) {
  labels[0] = '\0';
  size_t length = 0;
  for (int i = 0; i < outcome.failedCount && length < sizeof labels; ++i) {
    int written = std::snprintf(labels + length, sizeof labels - length, "%s%s", i > 0 ? ", " : "",
                                labelOf(outcome.failedValues[i]));
    if (written < 0) break;
    length += static_cast<size_t>(written);
  }
}

// The system's description of `error`, without its line end, in the
// system's language; "error N" when it has none.
void describeSystemError(LONG error, char (&text)[200]) {
  const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                      static_cast<DWORD>(error), 0, text, sizeof text, nullptr);
  if (trimTrailingBlanks(text, length) == 0) std::snprintf(text, sizeof text, "error %ld", static_cast<long>(error));
}

// Tells the user in plain words what OK stored and why the rest was not:
// "could not be saved" when nothing was stored, otherwise "were saved,
// except" and the labels of the values not stored. `openingError` is how
// creating the key went when the window opened: a key that is missing
// because it could never be created is reported with that cause. The causes
// a user can act on get their own words; any other is given as the system
// describes the first error.
void warnSaveFailed(HWND window, SaveOutcome outcome, LONG openingError) {
  const bool keyNeverOpened = outcome.failedCount == 0;
  const bool neverCreated = keyNeverOpened && outcome.error == ERROR_FILE_NOT_FOUND && openingError != ERROR_SUCCESS;
  if (neverCreated) outcome.error = openingError;
  char reason[400];
  if (outcome.error == ERROR_ACCESS_DENIED) {
    copyText(reason, "saving them needs the right to change settings for all users of this computer.");
  } else if (!neverCreated && (outcome.error == ERROR_FILE_NOT_FOUND || outcome.error == ERROR_KEY_DELETED)) {
    copyText(reason, "their registry key was removed while this window was open. "
                     "Opening Preferences again creates it anew.");
  } else {
    char system[200];
    describeSystemError(outcome.error, system);
    const char* action = neverCreated     ? "creating their registry key"
                         : keyNeverOpened ? "opening their registry key"
                                          : "storing them";
    std::snprintf(reason, sizeof reason, "Windows reported \"%s\" when %s.", system, action);
  }
  char text[800];
  if (outcome.storedCount == 0) {
    std::snprintf(text, sizeof text, "Your preferences could not be saved: %s", reason);
  } else {
    char labels[300];
    listFailedLabels(outcome, labels);
    std::snprintf(text, sizeof text, "Your preferences were saved, except %s: %s", labels, reason);
  }
  warn(window, text);
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
// (the list is sorted, so a position is not an index); -1, what storedIndex
// gives for a stored value outside the table, leaves the list without a
// selection, as the other lists' values outside them do.
void selectLanguage(HWND window, int32_t index) {
  LRESULT position = CB_ERR;
  if (index >= 0)
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
    if (list.id == IDC_PREF_LANGUAGE) selectLanguage(window, storedIndex(text, kLanguageCount));
    else selectPosition(window, list.id, readDecimal(text));
  }
  // The positions are shown whatever the location is; hidden boxes keep them.
  char position[kPositionLimit + 1];
  if (readSettingText(key, kLocationXValue, kPositionLimit, position)) SetDlgItemTextA(window, IDC_PREF_LEFT, position);
  if (readSettingText(key, kLocationYValue, kPositionLimit, position)) SetDlgItemTextA(window, IDC_PREF_TOP, position);
}

// Typing stops where OK would cut the text, so that what a box shows is what
// OK stores: the title at its stored limit, a position at three characters,
// or at the length of the stored position it shows when that is longer (up
// to four, "1200"), so that such a position can be overtyped digit by digit
// or replaced by another of as many digits ("2345"); the limit counts the
// text a key would make. A longer text set from the registry is shown whole;
// the limit only refuses further keys, as an edit box refuses them. Called
// once the boxes hold their texts.
void limitTyping(HWND window) {
  sendItem(window, IDC_PREF_TITLE, EM_LIMITTEXT, kTitleLimit);
  for (int id : {IDC_PREF_LEFT, IDC_PREF_TOP}) {
    const WPARAM shown = static_cast<WPARAM>(GetWindowTextLengthA(GetDlgItem(window, id)));
    sendItem(window, id, EM_LIMITTEXT, shown > kTypedPositionLimit ? shown : kTypedPositionLimit);
  }
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
  limitTyping(window);
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
  // An entry too long for any language's name (another program's) reads
  // as none, never as the name it begins with.
  char name[10];  // "Norwegian", the longest name, and its terminator
  const bool read = selectedListText(GetDlgItem(window, IDC_PREF_LANGUAGE), name, sizeof name);
  setIndexText(text, read ? languageIndex(name) : -1, kLanguageCount);
}

void onOk(HWND window) {
  SettingTexts texts = {};
  GetDlgItemTextA(window, IDC_PREF_TITLE, texts.title, sizeof texts.title);
  char (*const indexTexts[])[2] = {&texts.language, &texts.calendarType, &texts.dateStyle, &texts.selectionMethod,
                                   &texts.location, &texts.size,         &texts.theme,     &texts.font};
  for (size_t i = 0; i < sizeof preferenceLists / sizeof preferenceLists[0]; ++i)
    readIndexText(window, preferenceLists[i], *indexTexts[i]);
  // Every box is stored as it shows, up to the four characters the popups
  // read. Typing keeps a position to three digits, or to as many as the
  // stored one shown when the window opened (limitTyping); one left alone
  // (such as 1200 or -100 written by another tool) is stored as it was read,
  // so OK does not move a window the user did not touch.
  GetDlgItemTextA(window, IDC_PREF_LEFT, texts.left, sizeof texts.left);
  GetDlgItemTextA(window, IDC_PREF_TOP, texts.top, sizeof texts.top);

  if (positionsMissing(texts)) {
    warn(window, kPositionsWarning);
    return;  // the window stays open as it was; nothing is written
  }
  // A failed save keeps the window open with the user's input, so that the
  // choices are not lost unnoticed: the user can try again or cancel.
  SaveOutcome saved = saveSettings(texts);
  if (saved.error != ERROR_SUCCESS) {
    warnSaveFailed(window, saved, static_cast<LONG>(GetWindowLongPtrA(window, DWLP_USER)));
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
