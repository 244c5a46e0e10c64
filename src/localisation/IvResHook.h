#pragma once
// Translation of the texts that do not pass through IvTranslate: the
// program's resource texts (box and button captions and the like), the key
// names of shortcuts and Qt's own texts (shortcuts, button boxes, file,
// colour and font dialogs).
//
// Code cannot be patched at run time here, so the hook is a program-wide
// flag: the routines below translate only while it is set, and while it is
// set a translator on the application answers Qt's texts. It is set by the
// first dictionary that opens with ivdoTranslateResourceStrings and cleared
// by the Close of any dictionary.
#include <QString>

bool ResourceHookInstalled();
void InstallResourceStringHook();
void RemoveResourceStringHook();
// The re-entry guard: false while a hooked translation runs, so that a text
// loaded inside the dictionary's lookup comes back untranslated.
bool ResourceTranslationAllowed();

// A resource text of the program with its number: translated through the
// first dictionary (number as second context) while the hook is installed
// and that dictionary is open; otherwise as it stands.
QString TranslatedLoadResString(const QString& text, int number = 0);

// Shortcut values as the forms store them: the key code in the low byte,
// plus these bits.
constexpr int scShift = 0x2000;
constexpr int scCtrl = 0x4000;
constexpr int scAlt = 0x8000;

// The text of a shortcut: prefixes, then the key name; empty for a key
// without a name. Names and prefixes are translated through the first
// dictionary while it is open.
QString TranslatedShortCutToText(int shortCut);
