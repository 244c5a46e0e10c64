#include "forms/rules/SupportStore.h"

#include "data/BridgeRecords.h"
#include "data/KONBTL.h"
#include "platform/DbErrors.h"
#include "platform/Query.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QThread>

#include <cstdlib>

bool IsProjectLockError(const std::exception& e) {
    const auto* db = dynamic_cast<const EDBEngineError*>(&e);
    if (!db) return false;
    // The layer waits out its busy timeout before it says so; a lock met
    // later in a transaction (or by an older layer) comes as an I/O error.
    if (db->ErrorCode() == dbeLocked) return true;
    if (db->ErrorCode() != dbeIo) return false;
    const QString m = db->Message();
    return m.contains(QLatin1String("locked"), Qt::CaseInsensitive) || m.contains(QLatin1String("busy"), Qt::CaseInsensitive);
}

namespace {

// A number as a field of `digits` digits holds it: the digits of its size,
// the higher ones cut (10000 in four digits is 0).
int32_t CutToDigits(int32_t value, int digits) {
    int64_t limit = 1;
    for (int i = 0; i < digits; ++i) limit *= 10;
    return int32_t(std::llabs(int64_t(value)) % limit);
}

constexpr int DrawingNumberDigits = 5;
constexpr int RunningNumberDigits = 4;

}  // namespace

void PrepareAcceptedSupport(bool stressNotDynamic, bool stressCold) {
    TConstructionRecord& k = ConstructionRecord;
    BridgeRecords.DrehungAs = k.K_DREHUNG_AS;
    BridgeRecords.DrehungStahl = k.K_DREHUNG_STAHL;
    BridgeRecords.DrehungKh = k.K_DREHUNG_KH;
    BridgeRecords.DrehungS = k.K_DREHUNG_S;
    // The key holds the drawing number in 5 digits and the running number
    // in 4: a running number of 10000 would otherwise carry into the
    // drawing number and the support would land in another drawing. The
    // record keeps the numbers its key holds, so that the output file and
    // the next running number agree with it.
    k.K_NR = CutToDigits(k.K_NR, DrawingNumberDigits);
    k.K_LFD_NR = CutToDigits(k.K_LFD_NR, RunningNumberDigits);
    CalcGlobals.DrawingKeyText =
        QStringLiteral("%1%2").arg(k.K_NR, 5, 10, QLatin1Char('0')).arg(k.K_LFD_NR, 4, 10, QLatin1Char('0'));
    int32_t key = 0;
    if (DrawingKeyFromText(CalcGlobals.DrawingKeyText, key)) {
        k.K_F_NR_AUS = key;
        PartsList.KB_F_NR_AUS = key;
        PartsList.KB_LFD_ZNR = int16_t(k.K_LFD_NR);
    }
    k.K_S_Y_KZ = stressNotDynamic;
    k.K_S_CS_KZ = stressCold;
}

StoreOutcome RetryWhileLocked(const std::function<StoreOutcome()>& attempt, int waitMs, const StoreWait& wait) {
    for (;;) {
        try {
            return attempt();
        } catch (const std::exception& e) {
            if (!IsProjectLockError(e)) throw;
            const qint64 waited = wait.elapsedMs();
            if (waited >= waitMs)
                // The locked file may be the company settings table, which
                // is no part of the project: the layer's text names it.
                throw EProjectBusy(QStringLiteral("The support was not stored: another program kept writing for %1 "
                                                  "seconds. Please try again. (%2)")
                                       .arg(waited / 1000)
                                       .arg(static_cast<const EDBEngineError&>(e).Message())
                                       .toStdString());
            // Two writers that met must not meet again at the same instant.
            wait.pause(5 + wait.random(20));
        }
    }
}

StoreOutcome StoreSupportWaiting(int32_t loadedKey, int waitMs, RunningNumber advance) {
    QElapsedTimer waited;
    waited.start();
    const StoreWait clock{[&waited] { return waited.elapsed(); },
                          [](int bound) { return int(QRandomGenerator::global()->bounded(bound)); },
                          [](int ms) { QThread::msleep(ulong(ms)); }};
    return RetryWhileLocked([&] { return StoreSupport(loadedKey, advance == RunningNumber::Advance); }, waitMs, clock);
}

int FreeRunningNumber(const QString& projectDirectory, int drawingNumber, int proposed) {
    constexpr int Last = 9999;
    if (proposed < 0) return proposed;
    // The key holds four digits: after 9999 the count starts again at 0 of
    // the same drawing.
    proposed = CutToDigits(proposed, RunningNumberDigits);
    const qlonglong base = qlonglong(drawingNumber) * 10000;
    try {
        TQuery q(projectDirectory, QStringLiteral("SELECT K_F_NR_AUS FROM konstr8 WHERE K_F_NR_AUS >= ? AND "
                                                  "K_F_NR_AUS <= ? ORDER BY K_F_NR_AUS"));
        q.SetParams({base + proposed, base + Last});
        q.Open();
        int candidate = proposed;
        // Keys come in ascending order: the first one past the candidate
        // leaves it free.
        for (int rows = 0; !q.Eof() && rows <= Last; ++rows, q.Next()) {
            const qlonglong taken = qlonglong(q.Fields(0).AsInteger()) - base;
            if (taken > candidate) break;
            if (taken == candidate) ++candidate;
        }
        return candidate <= Last ? candidate : proposed;
    } catch (const EDatabaseError&) {
        // No project table to ask: the store says what is wrong.
        return proposed;
    }
}
