#pragma once
// Everything the selection shows the engineer passes this one interface:
// the questions and notes of the steps, the box of the result, the waiting
// form, the blocking-position dialog and the status panel. The engine itself
// links no widgets; the program's implementation lives in korva_engineui,
// tests use a scripted one that records every request.
#include <QString>

class SelectionUi {
public:
    virtual ~SelectionUi() = default;

    // A warning question with Yes and No; true for Yes.
    virtual bool WarningYesNo(const QString& text) = 0;
    // An information note with an OK button.
    virtual void Information(const QString& text) = 0;
    // An error box with an OK button.
    virtual void Error(const QString& text) = 0;
    // A warning box with an OK button.
    virtual void Warning(const QString& text) = 0;

    // The waiting form: shown centred over the owner (or the screen),
    // painted again on request, freed at the end of the selection.
    virtual void ShowWaitForm() = 0;
    virtual void RefreshWaitForm() = 0;
    virtual void FreeWaitForm() = 0;

    // The blocking-position dialog: created for a pre-selected hanger type,
    // shown modally at most once per selection, freed after the pre-selected
    // pass. Show returns true when the engineer saved a position (then
    // K_BLOCKIER holds it).
    virtual void CreateBlockingDialog() = 0;
    virtual bool ShowBlockingDialog() = 0;
    virtual void FreeBlockingDialog() = 0;

    // The status panel of the caller ("AUTO" when a pre-selection is dropped).
    virtual void SetStatusText(const QString& text) = 0;
    // Back to the default screen cursor.
    virtual void RestoreCursor() = 0;
};
