#pragma once
// The driver of one part selection: takes the current support from
// ConstructionRecord and CalcGlobals, runs the selection steps in their fixed
// order with their repeat passes, turns the first failure into a message and
// a result code, and composes the parts list.
#include <QString>
#include <functional>
#include <memory>

class SelectionUi;

// The result of a selection.
enum SelectionResult : int {
    SelectionComplete = 0,
    SelectionCompleteWithNote = 2,
    SelectionAborted = 5,        // the component step aborted (recorded 9099), or its chain
                                 // stands higher than its segment (recorded 2836/2837)
    SelectionStepFailed = 6,     // a step failed, or a travel warning in a repeat pass
    SelectionMovementsMismatch = 7,
    SelectionNoResult = 8,
};

// The steps the driver calls that live outside this library's units, and
// the settings read at the start. Each is set by the unit that provides it;
// tests script them. A step that is called but not installed ends the
// selection with an exception naming it.
struct SelectionSteps {
    // Copies F_WINKEL_KZ into K_WINKEL_KZ and F_VORKOS_KZ into VorkosFlag.
    std::function<void()> ReadSettings;
    // Fills ArrangementRecord from the current arrangement row.
    std::function<void()> LoadArrangement;
    // Resets the per-selection values of the clamp and component steps.
    std::function<void()> ResetStepState;
    std::function<void()> SelectClamp;
    std::function<void()> SelectComponents;
    std::function<void()> CheckLoadGroup;
    std::function<void()> ComposeParts;
};

// The steps in use; the defaults read the settings table and the
// arrangement table of the running program and leave the later steps unset.
SelectionSteps& CurrentSelectionSteps();
void SetSelectionSteps(const SelectionSteps& steps);
SelectionSteps DefaultSelectionSteps();

// The interface of the running selection (the steps' questions and notes go
// to it). Throws std::logic_error outside a selection.
SelectionUi& ActiveSelectionUi();
// Makes ui the active interface while the scope lives (also for tests of
// single steps).
class ActiveUiScope {
public:
    explicit ActiveUiScope(SelectionUi& ui);
    ~ActiveUiScope();
    ActiveUiScope(const ActiveUiScope&) = delete;
    ActiveUiScope& operator=(const ActiveUiScope&) = delete;

private:
    SelectionUi* m_previous;
};

// The catalogue read scope of one selection: the whole run reads the
// catalogue under one read transaction when the database layer offers it.
// The program sets the factory once; without one the selection reads
// without it.
using CatalogueReadScopeFactory = std::function<std::shared_ptr<void>()>;
void SetCatalogueReadScope(CatalogueReadScopeFactory factory);

// Lateral check above 0 enables the lateral-movement input check; mode goes
// to SetSelectionMode; interactive allows the load-group question.
int SelectSupport(SelectionUi& ui, int lateralCheck, int mode, bool showWaitForm, bool interactive);
// SelectSupport in its interactive manner, then the box of the result code.
int RunSelectSupport(SelectionUi& ui, int lateralCheck, int mode, bool showWaitForm);
// 0: 1 (2 with the imperial catalogue); 1: 3 (4); anything else: unchanged.
void SetSelectionMode(int mode);
