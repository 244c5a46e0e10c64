#pragma once
// Storing the current support when another engineer may be storing into the
// same project: the store is one transaction, so a store that meets the
// other's lock is rolled back whole and tried again until the wait is over.
#include "data/FIRAUFKON.h"

#include <functional>
#include <stdexcept>

// The project stayed locked by another writer for the whole wait; nothing
// was stored.
class EProjectBusy : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// What the Ok road sets on the record of a support the selection accepted,
// before it is stored and its output file written: the rotation flags of
// the bridge record, the drawing key (K_NR and K_LFD_NR, cut to the 5 and
// 4 digits the key holds, on the record as well) in its text form, on the
// record and on the parts list, and the stress condition. The output
// file reads all of them, so every writer of an output file starts here.
void PrepareAcceptedSupport(bool stressNotDynamic, bool stressCold);

// Whether a new support moves the company's running number on.
enum class RunningNumber { Keep, Advance };

// The wait of a store that meets another writer's lock, with its clock:
// the time since the first attempt, a random number below a bound, and a
// pause.
struct StoreWait {
    std::function<qint64()> elapsedMs;
    std::function<int(int bound)> random;
    std::function<void(int ms)> pause;
};
// Runs the attempt until it returns; an attempt that meets a lock is tried
// again after a pause of 5 to 24 ms until waitMs have passed, then
// EProjectBusy names the whole seconds waited and the locked file. Other
// errors pass at once.
StoreOutcome RetryWhileLocked(const std::function<StoreOutcome()>& attempt, int waitMs, const StoreWait& wait);

// StoreSupport(loadedKey, advance), repeated while the project or the
// settings table is locked, for at most waitMs milliseconds. Raises
// EProjectBusy past the wait, naming the locked file; other errors pass at
// once.
StoreOutcome StoreSupportWaiting(int32_t loadedKey, int waitMs = 10000, RunningNumber advance = RunningNumber::Keep);

// The running number a new support of drawing number `drawingNumber` is
// proposed: `proposed` cut to the 4 digits the key holds (10000 is 0) when
// no support of the project holds it, else the next one above it that is
// free (the cut number itself when none up to 9999 is). A negative number
// is left as it is.
int FreeRunningNumber(const QString& projectDirectory, int drawingNumber, int proposed);

// Whether an error of the database layer means that another writer holds
// the project.
bool IsProjectLockError(const std::exception& e);
