// Template layout (DLGTEMPLATE, the form that DIALOG statements compile to):
//   header: style, extended style (DWORDs), item count, x, y, cx, cy (WORDs),
//           menu, class (each 0, 0xFFFF + ordinal, or a UTF-16 text), caption
//           text, and with DS_SETFONT a point size and a face text;
//   items, each starting on a DWORD boundary: style, extended style, x, y,
//           cx, cy, id (WORD), class and text (as above), a WORD count of
//           creation data bytes and those bytes.
#include "common/dialog_template_win32.h"

#include <cstring>

namespace {

const size_t kHeaderWords = 9;  // style, extended style, count, x, y, cx, cy
const size_t kItemWords = 9;    // style, extended style, x, y, cx, cy, id
const size_t kItemIdWord = 8;
const size_t kCountWord = 4;

// Index just past a menu, class or text field at `at`; 0 when it runs past `end`.
size_t skipNameOrOrdinal(const WORD* words, size_t at, size_t end) {
  if (at >= end) return 0;
  if (words[at] == 0xFFFF) return at + 2 <= end ? at + 2 : 0;
  while (at < end && words[at] != 0) ++at;
  return at < end ? at + 1 : 0;
}

size_t alignToDword(size_t wordIndex) { return (wordIndex + 1) & ~static_cast<size_t>(1); }

// Index just past the item starting at `at` (before any alignment); 0 when
// it is malformed.
size_t itemEnd(const WORD* words, size_t at, size_t end) {
  size_t next = at + kItemWords;
  if (next > end) return 0;
  next = skipNameOrOrdinal(words, next, end);  // class
  if (next) next = skipNameOrOrdinal(words, next, end);  // text
  if (!next || next >= end) return 0;
  const size_t dataWords = (words[next] + 1) / 2;
  next += 1 + dataWords;
  return next <= end ? next : 0;
}

// Index just past the header; 0 when it is malformed.
size_t headerEnd(const WORD* words, size_t end) {
  size_t next = skipNameOrOrdinal(words, kHeaderWords, end);  // menu
  if (next) next = skipNameOrOrdinal(words, next, end);        // class
  if (next) next = skipNameOrOrdinal(words, next, end);        // caption
  DWORD style;
  std::memcpy(&style, words, sizeof style);
  if (next && (style & DS_SETFONT)) next = skipNameOrOrdinal(words, next + 1, end);  // size, face
  return next;
}

}  // namespace

const DLGTEMPLATE* copyDialogTemplate(HMODULE module, int id, bool (*keep)(int controlId),
                                      DialogTemplateCopy& copy) {
  HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5));  // RT_DIALOG
  HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
  const WORD* words = loaded ? static_cast<const WORD*>(LockResource(loaded)) : nullptr;
  return copyTemplateWords(words, found ? SizeofResource(module, found) / sizeof(WORD) : 0, keep, copy);
}

const DLGTEMPLATE* copyTemplateWords(const WORD* words, size_t end, bool (*keep)(int controlId),
                                     DialogTemplateCopy& copy) {
  if (!words || end < kHeaderWords || end > kDialogTemplateWords) return nullptr;
  if (words[0] == 1 && words[1] == 0xFFFF) return nullptr;  // extended template

  size_t in = headerEnd(words, end);
  if (!in) return nullptr;
  std::memcpy(copy.words, words, in * sizeof(WORD));
  size_t out = in;
  WORD kept = 0;
  const WORD count = words[kCountWord];
  for (WORD item = 0; item < count; ++item) {
    in = alignToDword(in);
    const size_t next = itemEnd(words, in, end);
    if (!next) return nullptr;
    if (keep(words[in + kItemIdWord])) {
      if (out % 2) copy.words[out++] = 0;  // items start on a DWORD boundary
      std::memcpy(copy.words + out, words + in, (next - in) * sizeof(WORD));
      out += next - in;
      ++kept;
    }
    in = next;
  }
  copy.words[kCountWord] = kept;
  return reinterpret_cast<const DLGTEMPLATE*>(copy.words);
}

INT_PTR runDialogWithShownControls(HMODULE module, int id, bool (*keep)(int controlId), HWND owner, DLGPROC proc) {
  DialogTemplateCopy copy;
  const DLGTEMPLATE* shownOnly = copyDialogTemplate(module, id, keep, copy);
  if (!shownOnly) return DialogBoxParamA(module, MAKEINTRESOURCEA(id), owner, proc, 0);
  return DialogBoxIndirectParamA(module, shownOnly, owner, proc, 0);
}
