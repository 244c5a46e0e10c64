#pragma once
// A step of the start that may wait without end inside a library the
// program does not control: the window system's connection set-up waits for
// the display server's answer without a bound, so a server (or anything
// listening on its socket) that takes the connection and answers nothing,
// or only part of the set-up, would keep the start waiting for ever. A
// deadline watches such a step from a thread of its own and, when the step
// has not ended in time, ends the run itself: the blocked step is never
// woken, and nothing of what it was building is used.
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

class Deadline {
public:
    // Starts watching. When Met() has not been called within waitMs,
    // `ending` runs on the deadline's thread and the process ends with the
    // code it returns (standard output and error flushed, no destructors:
    // the blocked step still holds what it holds).
    Deadline(int waitMs, std::function<int()> ending);
    // Meets the deadline when Met() was not called.
    ~Deadline();
    Deadline(const Deadline&) = delete;
    Deadline& operator=(const Deadline&) = delete;

    // The step has ended. In time, the watch stops and this returns; too
    // late, the ending runs or has run, and this does not return: the
    // ending ends the process.
    void Met();

private:
    void Watch(int waitMs);

    std::function<int()> m_ending;
    std::mutex m_mutex;
    std::condition_variable m_metSignal;
    bool m_met = false;
    bool m_passed = false;
    std::thread m_thread;
};
