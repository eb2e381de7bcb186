// A copy of one of the module's dialog templates without the controls a
// window will never show. Every control costs the window its creation and
// destruction, and a drop-down list the most: its list is a top-level popup
// window of its own. A control that stays hidden all its life changes
// nothing the user sees, so the calendar and time windows are built without
// those their layout, confirmation method or hour form leave hidden.
#pragma once
#include <windows.h>

// Room for each of the plug-in's templates with all its controls (2 KiB).
constexpr size_t kDialogTemplateWords = 1024;

struct DialogTemplateCopy {
  // DWORD-aligned, as the dialog manager expects a template in memory.
  alignas(4) WORD words[kDialogTemplateWords];
};

// Copies dialog template `id` of `module` into `copy`, leaving out every
// control whose identifier `keep` rejects. Returns the copy, or nullptr when
// the template is missing, is an extended template or does not fit: the
// caller then runs the template as it is.
const DLGTEMPLATE* copyDialogTemplate(HMODULE module, int id, bool (*keep)(int controlId),
                                      DialogTemplateCopy& copy);

// The same for a template of `count` words at `words`: nullptr also when it
// is malformed, and nothing past its end is read.
const DLGTEMPLATE* copyTemplateWords(const WORD* words, size_t count, bool (*keep)(int controlId),
                                     DialogTemplateCopy& copy);

// Runs dialog `id` of `module` modally, owned by `owner`, built without the
// controls `keep` rejects; from the template as it is when no copy can be
// made. Returns what DialogBoxIndirectParam does (-1: not created).
INT_PTR runDialogWithShownControls(HMODULE module, int id, bool (*keep)(int controlId), HWND owner, DLGPROC proc);
