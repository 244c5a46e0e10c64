#pragma once
// Shared pieces of the engine tests: a selection interface that records
// every request and answers from a script, scripted later steps, the demo
// catalogue copied into a temporary folder and a demo support.
#include "data/ABHGNR.h"
#include "data/CblTools.h"
#include "data/FIRAUFKON.h"
#include "data/KONBTL.h"
#include "data/PGRSRL.h"
#include "data/tst_access_fixture.h"
#include "engine/EngineState.h"
#include "engine/FINDBTLChain.h"
#include "engine/FindHalterung.h"
#include "engine/SelectionUi.h"

#include <QDir>
#include <deque>
#include <optional>

class ScriptedSelectionUi : public SelectionUi {
public:
    QStringList log;                 // every request, "kind: text"
    std::deque<bool> answers;        // answers to the Yes/No questions; No when empty
    std::function<bool()> blockingDialog;  // the engineer in the blocking dialog

    bool WarningYesNo(const QString& text) override {
        log << "question: " + text;
        if (answers.empty())
            return false;
        const bool a = answers.front();
        answers.pop_front();
        return a;
    }
    void Information(const QString& text) override { log << "information: " + text; }
    void Error(const QString& text) override { log << "error: " + text; }
    void Warning(const QString& text) override { log << "warning: " + text; }
    void ShowWaitForm() override { log << "wait: show"; }
    void RefreshWaitForm() override { log << "wait: refresh"; }
    void FreeWaitForm() override { log << "wait: free"; }
    void CreateBlockingDialog() override { log << "dialog: create"; }
    bool ShowBlockingDialog() override {
        log << "dialog: show";
        return blockingDialog ? blockingDialog() : false;
    }
    void FreeBlockingDialog() override { log << "dialog: free"; }
    void SetStatusText(const QString& text) override { log << "status: " + text; }
    void RestoreCursor() override { log << "cursor"; }

    int count(const QString& prefix) const {
        int n = 0;
        for (const QString& l : log)
            n += l.startsWith(prefix);
        return n;
    }
};

// The later steps, scripted: each call is counted; components add a weight
// and may report a status.
struct ScriptedSteps {
    QString name = QStringLiteral("SHHAESBH");
    QString area = QStringLiteral("H");
    bool angleChecks = false;
    int clampCalls = 0, componentCalls = 0, loadGroupCalls = 0, composeCalls = 0, travelChecks = 0;
    double componentWeight = 0;      // kg added by every component pass
    int16_t componentStatus = 0;
    int16_t componentMessage = 0;
    int16_t loadGroupStatus = 0;
    int clampWeightColumn = 0;       // BlockingRangeMin left by the clamp pre-pass
    std::vector<double> designLoads; // DesignLoad seen by every component pass
    std::vector<double> mainUnits;   // MainUnitNumber seen by every component pass
    std::vector<int> blockings;      // K_BLOCKIER seen by every component pass
    double clampWeight = 0;          // kg of the clamp row's weight column
    // What a walk leaves for the notes at the end, when set.
    std::optional<int> ptfeNoteCount;
    std::optional<bool> connectingPlateNote;
    // A warning of the chain's fit (number and its value), left with status 0
    // by the first chainWarningPasses component passes.
    std::optional<std::pair<int, double>> chainWarning;
    int chainWarningPasses = 1000;

    void Install() {
        SelectionSteps s;
        s.ReadSettings = [this] { ConstructionRecord.K_WINKEL_KZ = angleChecks; };
        s.LoadArrangement = [this] {
            PutText(ArrangementRecord.A_NAME, name);
            PutText(ArrangementRecord.A_BER, area);
        };
        s.SelectClamp = [this] {
            ++clampCalls;
            CalcGlobals.BlockingRangeMin = clampWeightColumn;
            if (clampWeightColumn > 0)
                PgrsrlRecord.RSL_GEW[std::size_t(clampWeightColumn - 1)] = clampWeight;
        };
        s.SelectComponents = [this] {
            ++componentCalls;
            designLoads.push_back(CalcGlobals.DesignLoad);
            mainUnits.push_back(CalcGlobals.MainUnitNumber);
            blockings.push_back(ConstructionRecord.K_BLOCKIER);
            CalcGlobals.DeadWeight += componentWeight;
            if (componentStatus != 0) {
                CalcGlobals.TableStatus = componentStatus;
                CalcGlobals.MessageNumber = componentMessage;
            }
            if (ptfeNoteCount)
                EngineState.PtfeNoteCount = *ptfeNoteCount;
            if (connectingPlateNote)
                CalcGlobals.ConnectingPlateNote = *connectingPlateNote;
            if (chainWarning && componentStatus == 0 && componentCalls <= chainWarningPasses)
                LeaveComponentWarning(int16_t(chainWarning->first), chainWarning->second);
        };
        s.CheckLoadGroup = [this] {
            ++loadGroupCalls;
            CalcGlobals.TableStatus = loadGroupStatus;
            CalcGlobals.MessageNumber = loadGroupStatus ? 2172 : 0;
        };
        s.ComposeParts = [this] { ++composeCalls; };
        SetSelectionSteps(s);
    }
};

// The demo catalogue as the build generated it, copied so no test touches
// the build's files.
class DemoCatalogue {
public:
    DemoCatalogue() {
        const QDir src(QStringLiteral(KORVA_BINARY_DIR "/demo/catalogue"));
        for (const QString& f : src.entryList(QDir::Files))
            QFile::copy(src.filePath(f), dir.file(f));
        CatalogueFixture::PointAlias(dir.path());
        kon = std::make_unique<TDBKONST>();
        for (TTable* t : {&kon->PGSTAT, &kon->PGDYNA, &kon->PGRSRL, &kon->PGCOOL, &kon->TXTTAB, &kon->PGCURE,
                          &kon->ABHGDB})
            t->Open();
    }
    ~DemoCatalogue() {
        kon.reset();
        Session().Close();
    }
    bool present() const { return QFile::exists(dir.file(QStringLiteral("Txttab.DB"))); }

    TestDir dir;
    std::unique_ptr<TDBKONST> kon;
};

// The demo catalogue with a scripted interface and scripted later steps,
// both fresh for every case: the common set-up of the selection tests.
struct DemoSelection {
    std::unique_ptr<DemoCatalogue> demo;
    ScriptedSelectionUi ui;
    ScriptedSteps steps;

    bool OpenDemo() {
        demo = std::make_unique<DemoCatalogue>();
        return demo->present();
    }
    void CloseDemo() { demo.reset(); }
    void ResetScripts() {
        ui = ScriptedSelectionUi();
        steps = ScriptedSteps();
    }
};

// A hanger support with the demo settings: the EN 13480-3 reserves, spring
// travel limit 300 mm, load variation 25 %, the input load at the blocking
// position. Total height 1500 mm without height values; angle checks off.
inline void DemoSupport(double loadKN, double travelMm) {
    ResetCalcState();
    TConstructionRecord& k = ConstructionRecord;
    k.K_LAST = loadKN;
    k.K_WEG_Z = travelMm;
    k.K_HOEHE_GES = 1500;
    k.K_H_ZHL = 0;
    k.K_FDIFF = 25;
    k.K_BEWEGBER = 300;
    k.K_LR_FH = 0;
    k.K_WR_FH_MM = 5;
    k.K_WR_FH = 10;
    k.K_LR_KH = 15;
    k.K_WR_KH = 10;
    k.K_WR_KH_MM = 25;
    k.K_WINKEL = 4;
    k.K_KALWAR_KZ = true;
    PutText(CalcGlobals.PreselectedLoadNumber, QStringLiteral("000000"));
}
