#include "engine/FindHalterung.h"

#include "data/ABHGNR.h"
#include "data/DBGLOB.h"
#include "data/FIRAUFKON.h"
#include "data/KONBTL.h"
#include "data/PGRSRL.h"
#include "engine/ComposeParts.h"
#include "engine/EngineState.h"
#include "localisation/IvDictio.h"
#include "engine/FINDBTLChain.h"
#include "engine/FINDHLG.h"
#include "engine/SelectionUi.h"
#include "engine/StepTools.h"
#include "engine/findweg.h"

#include <stdexcept>

namespace {

TConstructionRecord& K = ConstructionRecord;
TCalcGlobals& G = CalcGlobals;
constexpr QChar CR(13);

SelectionUi* g_activeUi = nullptr;
CatalogueReadScopeFactory g_readScope;

SelectionSteps& Steps() {
    static SelectionSteps steps = DefaultSelectionSteps();
    return steps;
}

void Run(const std::function<void()>& step, const char* name) {
    if (!step)
        throw std::logic_error(std::string("selection step not installed: ") + name);
    step();
}

void ReadSettingsTable() {
    if (!DBGLOBAL)
        throw std::logic_error("the settings table is not open");
    TTable& t = DBGLOBAL->FIRDAT;
    TableStateGuard keep(t);
    t.Open();
    const RowReader in(t);
    K.K_WINKEL_KZ = in.L(QStringLiteral("F_WINKEL_KZ"));
    G.VorkosFlag = in.L(QStringLiteral("F_VORKOS_KZ"));
}

// Step 5 of the road: every value one selection must not inherit from the
// one before.
void ResetSelectionState() {
    G.HorizontalNoteShown = G.LateralNoteShown = false;
    K.K_FDIFF_EFF = 0;
    G.ComponentHeightTop = G.ComponentHeightMiddle = G.ComponentHeightBottom = 0;
    G.SecondPassWeight = 0;
    G.HorizontalHalvingMark = G.LateralHalvingMark = 0;
    G.DesignLoad = K.K_LAST;
    G.BlockingPositionDone = G.DeadWeightPassDone = G.ConstantHangerChosen = false;
    G.ConnectingPlateNote = G.RepeatPassFlag = false;
    G.TravelCheckEnabled = true;
    K.K_RES_ACTUAL_S_TOP = K.K_RES_ACTUAL_S_BUT = 0;
    K.K_RSL_NRN = 0;
    // The composition of the selection before leaves its galvanising
    // request set; the price comparison of this one must not read
    // galvanised prices for a plain support.
    G.HDRequest = false;
    // A retry with another configuration starts from no load groups.
    G.MainUnitLoadGroup = G.SupportLoadGroup = G.ComponentLoadGroup = 0;
    G.SecondLoadGroup = G.SecondComponentLoadGroup = 0;
    G.MainUnitRangeIndex = 0;
    EngineState.Reset();
}

void DropPreselection(SelectionUi& ui) {
    K.K_VGB_KZ = false;
    ui.SetStatusText(QStringLiteral("AUTO"));
    PutText(G.PreselectedLoadNumber, QStringLiteral("000000"));
    G.PreselectedProductNumber = 0;
}

double DeadWeightLoad() {
    const Extended load = Extended(K.K_LAST) + 0.01L * Extended(G.DeadWeight);
    return double(AreaLetter() == 'I' ? load * 0.5L : load);
}

void ClampPrePass() {
    G.ClampPreselectMode = '8';
    Run(Steps().SelectClamp, "SelectClamp");
    G.ClampPreselectMode = ' ';
    G.TableStatus = 0;
    G.MessageNumber = 0;
    if (G.BlockingRangeMin > 0) {
        if (G.BlockingRangeMin > int(PgrsrlRecord.RSL_GEW.size()))
            throw EngineStepError(MsgTableIndexOutOfRange);
        Extended w = 0.01L * Extended(PgrsrlRecord.RSL_GEW[std::size_t(G.BlockingRangeMin - 1)]);
        if (AreaLetter() == 'I')
            w = w * 0.5L;
        G.DesignLoad = double(Extended(G.DesignLoad) + w);
        EngineState.ClampWeightAdded = true;
    }
}

// The component step's warnings about how the chain fits its segment, each
// with the one value its text shows: the chain stands higher than the
// segment (2836, 2837 in inch) or leaves a rod length over (2838, 2839).
struct ChainWarning {
    int number = 0;
    double value = 0;
    // A chain higher than its segment cannot be built as entered.
    bool Refuses() const { return number == 2836 || number == 2837; }
};

// The warning this component pass left: a number that an earlier pass or
// selection left in MessageNumber is no warning of the chain now chosen.
ChainWarning ChainWarningLeft() {
    const int n = ComponentWarningNumber();
    if (n < 2836 || n > 2839)
        return {};
    return {n, ComponentWarningValue()};
}

// The number the driver records for an aborted component step; that step
// has shown its own box.
constexpr int AbortRecorded = 9099;

class Selection {
public:
    Selection(SelectionUi& ui, int lateralCheck, int mode, bool showWaitForm)
        : ui(ui), lateralCheck(lateralCheck), mode(mode), showWaitForm(showWaitForm) {}

    int Run();

private:
    int Road();
    bool InputChecks();
    bool MainUnit();  // false: the road ended
    int Close();
    int FailureEnd();
    void Note(const QString& text);
    void ReportChainWarning();

    SelectionUi& ui;
    int lateralCheck, mode;
    bool showWaitForm;
    bool dialogCreated = false;
    int result = SelectionNoResult;
    ChainWarning chainWarning;  // of the last component pass
};

int Selection::Close() {
    ui.RestoreCursor();
    if (dialogCreated) {
        ui.FreeBlockingDialog();
        dialogCreated = false;
    }
    if (showWaitForm)
        ui.FreeWaitForm();
    showWaitForm = false;
    return result;
}

int Selection::FailureEnd() {
    LastMessage = MessageText(G.MessageNumber);
    K.K_FMT_NR = G.MessageNumber;
    result = SelectionStepFailed;
    G.TableStatus = 0;
    G.MessageNumber = 0;
    return Close();
}

void Selection::Note(const QString& text) {
    // A note never hides a failure already recorded.
    if (result != SelectionNoResult && result != SelectionCompleteWithNote)
        return;
    LastMessage = text;
    result = SelectionCompleteWithNote;
}

// The chain's warning reaches the engineer with its value in the box of the
// result, beside whatever that box already says. A rod length left over is
// a note on a support that may be stored (its lower height already moved
// by that length); a chain higher than its segment ends the selection with
// the warning, so no support that cannot stand where it was entered is
// stored or handed to the host. The support record keeps a note's number
// negated, as it keeps every warning.
void Selection::ReportChainWarning() {
    if (chainWarning.number == 0)
        return;
    const QString text = MessageWithValues(chainWarning.number, {qint64(TruncToInt(chainWarning.value))});
    const bool failed = result != SelectionNoResult && result != SelectionCompleteWithNote;
    if (failed) {
        LastMessage += CR + text;
    } else if (chainWarning.Refuses()) {
        LastMessage = LastMessage.isEmpty() ? text : text + CR + LastMessage;
        K.K_FMT_NR = int16_t(chainWarning.number);
        result = SelectionAborted;
    } else {
        LastMessage = LastMessage.isEmpty() ? text : LastMessage + CR + text;
        K.K_FMT_NR = int16_t(-chainWarning.number);
        result = SelectionCompleteWithNote;
    }
}

bool Selection::InputChecks() {
    const char l1 = Letter(1), l4 = Letter(4), l6 = Letter(6), l7 = Letter(7), l8 = Letter(8);
    if (l1 == 'S' && l4 == 'R' && l6 == 'L' && lateralCheck > 0 && K.K_WEG_Y != 0) {
        LastMessage = IvTranslate(QStringLiteral("Lateral movement <> 0 !"));
        result = SelectionMovementsMismatch;
        return false;
    }
    if (l1 == 'D' && l4 == 'R' && l8 == 'H' && l7 == 'F' && (K.K_WEG_X != 0 || K.K_WEG_Y != 0)) {
        LastMessage = IvTranslate(QStringLiteral("Vertical movements only!"));
        result = SelectionMovementsMismatch;
        return false;
    }
    if (l1 == 'C' && l7 == 'B') {
        K.K_RDM = 0;
        K.K_RDM_I = 0;
    }
    return true;
}

bool Selection::MainUnit() {
    const char l1 = Letter(1), l4 = Letter(4), l8 = Letter(8);
    if (l1 == 'C') {
        SelectMainUnitC();
    } else if (l4 == 'Y') {
        SelectMainUnitY();
    } else if (l4 == 'G') {
        SelectMainUnitG();
    } else if (l8 == 'H' && K.K_VGB_KZ) {
        if (!dialogCreated) {
            ui.CreateBlockingDialog();
            dialogCreated = true;
        }
        SelectPreselectedHanger();
        if (showWaitForm)
            ui.RefreshWaitForm();
        if (G.TableStatus > 0)
            DropPreselection(ui);
    } else if (l8 == 'H') {
        if (!K.K_RSRL_OHNE && l4 != 'F' && l4 != 'Y' && l4 != 'G' && !EngineState.ClampWeightAdded)
            ClampPrePass();
        SelectHanger();
    } else {
        SelectMainUnitDefault();
    }
    return G.TableStatus <= 0;
}

int Selection::Road() {
    K.K_FMT_NR = 0;
    LastMessage.clear();
    result = SelectionNoResult;
    if (showWaitForm)
        ui.ShowWaitForm();
    ::Run(Steps().ReadSettings, "ReadSettings");
    ClearPartsList();
    ResetSelectionState();
    if (Steps().ResetStepState)
        Steps().ResetStepState();
    ::Run(Steps().LoadArrangement, "LoadArrangement");
    if (!InputChecks())
        return Close();
    ComputeTotalHeight();
    if (G.TableStatus != 0)
        return FailureEnd();
    const bool travelCheckOff = (Letter(6) == 'L' && Letter(4) != 'R') || Letter(3) == 'V';
    if (travelCheckOff)
        G.TravelCheckEnabled = false;

    const char l1 = Letter(1), l4 = Letter(4), l7 = Letter(7), l8 = Letter(8);
    // The first pass, one letter repeat and two dead-weight repeats: a
    // fifth pass would mean the road lost its way.
    int passes = 0;
    for (;;) {  // repeat point R1
        if (++passes > 4)
            throw EngineStepError(MsgRestartLimit);
        G.TableStatus = 0;
        CheckTravel();
        if (G.TableStatus == 6)
            return FailureEnd();
        if (G.TableStatus == 8 && G.RepeatPassFlag) {
            LastMessage = MessageText(G.MessageNumber);
            K.K_FMT_NR = G.MessageNumber;
            result = SelectionStepFailed;
            G.TableStatus = G.MessageNumber = 0;
        }
        if (l1 == 'S' && Letter(5) == 'X' && Letter(6) == 'X')
            SetSelectionMode(mode);
        K.K_ROHRRI_KZ = Letter(3) == 'H';
        K.K_DYN_RSBK_KZ = false;
        if (AreaLetter() == 'I')
            G.DesignLoad = G.DesignLoad * 0.5;
        G.MainUnitNumber = 0;
        G.ClampPreselectMode = ' ';
        G.DeadWeight = 0;
        G.WeighParts = false;

        if (!MainUnit())
            return FailureEnd();

        // repeat point R2
        ClearComponentWarning();
        ::Run(Steps().SelectComponents, "SelectComponents");
        if (G.TableStatus == 6) {
            result = SelectionAborted;
            G.TableStatus = G.MessageNumber = 0;
            K.K_FMT_NR = AbortRecorded;
            if (LastMessage.isEmpty())
                LastMessage = QStringLiteral("Part selection aborted (check Support manually) !");
            DropPreselection(ui);
            return Close();
        }
        if (G.TableStatus > 0)
            return FailureEnd();
        chainWarning = ChainWarningLeft();
        if (travelCheckOff)
            G.TravelCheckEnabled = true;

        if (l8 == 'S' && l4 == 'A' && !G.RepeatPassFlag) {
            G.RepeatPassFlag = true;
            G.HorizontalHalvingMark = G.LateralHalvingMark = 1.0;
            continue;
        }
        if ((l4 == 'F' || l4 == 'G' || l1 == 'G') && !K.K_VGB_KZ && !G.RepeatPassFlag) {
            G.RepeatPassFlag = true;
            G.DesignLoad = K.K_LAST;
            continue;
        }
        if (K.K_VGB_KZ) {
            G.HorizontalHalvingMark = G.LateralHalvingMark = 1.0;
            CheckTravel();
            // The engineer's stop at a travel question ends the selection
            // here; the pre-selected pass below must not overwrite it.
            if (G.TableStatus == 6)
                return FailureEnd();
        }
        if (l8 == 'S' || l4 == 'F' || l4 == 'Y' || l4 == 'G')
            break;
        if (K.K_VGB_KZ) {
            G.DesignLoad = DeadWeightLoad();
            SelectPreselectedHanger();
            if (dialogCreated) {
                ui.FreeBlockingDialog();
                dialogCreated = false;
            }
            if (G.TableStatus > 0) {
                LastMessage = IvTranslate(QStringLiteral("Pre selected type: ")) + FieldText(G.PreselectedLoadNumber) +
                              CR + MessageText(G.MessageNumber) + CR +
                              IvTranslate(QStringLiteral("Problem was probably caused by dead weight"));
                K.K_FMT_NR = G.MessageNumber;
                result = SelectionStepFailed;
                G.TableStatus = G.MessageNumber = 0;
                K.K_VGB_KZ = false;
                return Close();
            }
            break;
        }
        const bool deadWeightRepeats = l4 != 'R' || (l8 == 'H' && l7 == 'F') || (!K.K_RSRL_OHNE && l7 != 'F');
        if (deadWeightRepeats) {
            if (!G.DeadWeightPassDone) {
                G.DeadWeightPassDone = true;
                G.DesignLoad = double(Extended(K.K_LAST) + 0.01L * Extended(G.DeadWeight));
                continue;
            }
            if (G.SecondPassWeight == 0) {
                G.SecondPassWeight = G.DeadWeight == 0 ? 1e-15 : G.DeadWeight;
                G.DesignLoad = double(Extended(K.K_LAST) + 0.01L * Extended(G.DeadWeight));
                continue;
            }
        }
        break;
    }

    const bool hangerRoad = l4 != 'Y' && l1 != 'C' && !(l4 == 'R' && l1 == 'S');
    if (K.K_HYDTEST_KZ && hangerRoad) {
        ::Run(Steps().CheckLoadGroup, "CheckLoadGroup");
        if (G.TableStatus > 0)
            return FailureEnd();
    }
    if (!G.BlockingPositionDone && hangerRoad && l4 != 'G' && G.TableStatus > 0) {
        G.TableStatus = G.MessageNumber = 0;
        return Close();
    }
    if (l4 == 'R' && l8 == 'H' && l7 == 'X' && K.K_PTFE_KZ && !K.K_RSRL_OHNE) {
        QString text = MessageText(2609);
        if (EngineState.PtfeNoteCount > 0)
            text += CR + MessageText(2608);
        Note(text);
    }
    // The engineer must learn that the hanger hangs from another building
    // connection than the one entered.
    if (BuildingConnectionChanged())
        Note(MessageText(2622));
    if (G.ConnectingPlateNote)
        Note(IvTranslate(QStringLiteral(
                 "NOTE: For hangers with connecting plates, the input dimension \"D1\" does reflect top of the can.")) +
             CR + IvTranslate(QStringLiteral("Refer to the detailed dimensional drawing!")));
    ::Run(Steps().ComposeParts, "ComposeParts");
    ReportChainWarning();
    if (result == SelectionNoResult)
        result = SelectionComplete;
    return Close();
}

int Selection::Run() {
    std::shared_ptr<void> readScope = g_readScope ? g_readScope() : nullptr;
    try {
        return Road();
    } catch (const EngineStepError& e) {
        G.MessageNumber = int16_t(e.Number());
        return FailureEnd();
    } catch (...) {
        Close();
        throw;
    }
}

}  // namespace

SelectionSteps DefaultSelectionSteps() {
    SelectionSteps s;
    s.ReadSettings = &ReadSettingsTable;
    s.LoadArrangement = &::LoadArrangement;
    InstallComponentSteps(s);
    s.ComposeParts = &::ComposeParts;
    return s;
}

SelectionSteps& CurrentSelectionSteps() { return Steps(); }

void SetSelectionSteps(const SelectionSteps& steps) { Steps() = steps; }

SelectionUi& ActiveSelectionUi() {
    if (!g_activeUi)
        throw std::logic_error("no selection is running");
    return *g_activeUi;
}

ActiveUiScope::ActiveUiScope(SelectionUi& ui) : m_previous(g_activeUi) { g_activeUi = &ui; }
ActiveUiScope::~ActiveUiScope() { g_activeUi = m_previous; }

void SetCatalogueReadScope(CatalogueReadScopeFactory factory) { g_readScope = std::move(factory); }

int SelectSupport(SelectionUi& ui, int lateralCheck, int mode, bool showWaitForm, bool interactive) {
    // The load-group raise that would ask the engineer has no step feeding
    // it, so interactive changes nothing yet.
    (void)interactive;
    ActiveUiScope active(ui);
    return Selection(ui, lateralCheck, mode, showWaitForm).Run();
}

int RunSelectSupport(SelectionUi& ui, int lateralCheck, int mode, bool showWaitForm) {
    const int result = SelectSupport(ui, lateralCheck, mode, showWaitForm, true);
    switch (result) {
    case 1:
    case SelectionCompleteWithNote:
        ui.Information(LastMessage);
        break;
    case 3:
    case 4:
        ui.Warning(LastMessage);
        break;
    case SelectionStepFailed:
    case SelectionMovementsMismatch:
        ui.Error(LastMessage);
        break;
    case SelectionAborted:
        // An aborting step has shown its own box; a chain that does not
        // fit its segment shows its warning here.
        if (ConstructionRecord.K_FMT_NR != AbortRecorded)
            ui.Information(LastMessage);
        break;
    case SelectionNoResult:
        ui.Error(IvTranslate(QStringLiteral("Unknown error occured during part selection process !")));
        break;
    default:
        break;
    }
    return result;
}

void SetSelectionMode(int mode) {
    if (mode == 0)
        G.SelectionMode = K.K_KATA_KZ ? 2 : 1;
    else if (mode == 1)
        G.SelectionMode = K.K_KATA_KZ ? 4 : 3;
}
