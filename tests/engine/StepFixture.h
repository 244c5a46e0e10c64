#pragma once
// Whole selections with the real clamp, component and load-group steps: the
// arrangement and settings scripted, the parts composition counted, the
// catalogue either the demo catalogue or a fixture built in the test.
#include "EngineFixture.h"
#include "engine/FINDBTLChain.h"

#include <QElapsedTimer>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>

// Ends the test process with the name of the case when a run does not end
// in time, so a selection that loops fails with a name instead of hanging.
class Watchdog {
public:
    Watchdog(QString name, std::chrono::seconds limit) : m_name(std::move(name)) {
        m_thread = std::thread([this, limit] {
            std::unique_lock<std::mutex> lock(m_mutex);
            if (!m_cv.wait_for(lock, limit, [this] { return m_done; })) {
                std::fprintf(stderr, "watchdog: %s did not end in time\n", qPrintable(m_name));
                std::fflush(stderr);
                std::_Exit(3);
            }
        });
    }
    ~Watchdog() {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_done = true;
        }
        m_cv.notify_all();
        m_thread.join();
    }

private:
    QString m_name;
    std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_done = false;
    std::thread m_thread;
};

// An interface that also answers the Yes/No/All confirmation from a script.
class StepUi : public ScriptedSelectionUi {
public:
    std::deque<YesNoAll> confirmations;
    bool InformationYesNo(const QString& text) override {
        log << "yesno: " + text;
        if (answers.empty())
            return false;
        const bool a = answers.front();
        answers.pop_front();
        return a;
    }
    YesNoAll ConfirmYesNoAll(const QString& text) override {
        log << "confirm: " + text;
        if (confirmations.empty())
            return YesNoAll::No;
        const YesNoAll a = confirmations.front();
        confirmations.pop_front();
        return a;
    }
};

// The demo catalogue with every table the later steps read open.
inline std::unique_ptr<DemoCatalogue> OpenDemo() {
    auto demo = std::make_unique<DemoCatalogue>();
    demo->kon->TempDB.Open();
    demo->kon->DURDATDB.Open();
    return demo;
}

struct Arrangement {
    QString name;
    QString area;
    QStringList positions;
};

// The real steps with the arrangement given; composition is counted.
struct RealSteps {
    Arrangement arrangement;
    int composeCalls = 0;

    void Install() {
        SelectionSteps s = DefaultSelectionSteps();
        s.ReadSettings = [] { ConstructionRecord.K_WINKEL_KZ = false; };
        s.LoadArrangement = [this] {
            PutText(ArrangementRecord.A_NAME, arrangement.name);
            PutText(ArrangementRecord.A_BER, arrangement.area.isEmpty() ? QStringLiteral(" ") : arrangement.area);
            for (int i = 0; i < 16; ++i) {
                const QString p = i < arrangement.positions.size() ? arrangement.positions.at(i) : QStringLiteral("000");
                std::copy_n(p.toLatin1().constData(), 3, ArrangementRecord.A_LFD_BT[i]);
            }
        };
        s.ComposeParts = [this] { ++composeCalls; };
        SetSelectionSteps(s);
    }
};

inline void LoadArrangementNow(const Arrangement& a) {
    PutText(ArrangementRecord.A_NAME, a.name);
    PutText(ArrangementRecord.A_BER, a.area.isEmpty() ? QStringLiteral(" ") : a.area);
    for (int i = 0; i < 16; ++i) {
        const QString p = i < a.positions.size() ? a.positions.at(i) : QStringLiteral("000");
        std::copy_n(p.toLatin1().constData(), 3, ArrangementRecord.A_LFD_BT[i]);
    }
}

// Two elevations: steel at top, pipe at pipe; segment 1 is their difference.
inline void Heights(double top, double pipe) {
    ConstructionRecord.K_H_ZHL = 2;
    ConstructionRecord.K_HM_Q_1 = top;
    ConstructionRecord.K_HM_Q_2 = pipe;
}

// The demo spring hanger support of configuration 101 on a pipe of the
// given outer diameter and temperature.
inline void DemoHangerSupport(double load, double travel, double diameter = 114.3, double temperature = 200) {
    DemoSupport(load, travel);
    ConstructionRecord.K_RDM = diameter;
    ConstructionRecord.K_TEM = temperature;
    ConstructionRecord.K_AN_GEB = 75;
    Heights(3500, 1000);
}

// The parts the chain end copied, as product numbers.
inline QList<qint64> ChainParts() {
    QList<qint64> out;
    for (int i = 0; i < 30 && ConstructionRecord.K_BTL_8[i] != 0; ++i)
        out << qint64(ConstructionRecord.K_BTL_8[i]);
    return out;
}
