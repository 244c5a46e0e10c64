#include "platform/Deadline.h"

#include <chrono>
#include <cstdio>
#include <unistd.h>

Deadline::Deadline(int waitMs, std::function<int()> ending) : m_ending(std::move(ending)) {
    m_thread = std::thread([this, waitMs] { Watch(waitMs); });
}

Deadline::~Deadline() { Met(); }

void Deadline::Watch(int waitMs) {
    std::unique_lock lock(m_mutex);
    if (m_metSignal.wait_for(lock, std::chrono::milliseconds(waitMs), [this] { return m_met; })) return;
    // From here on the step's own thread, should it come back, waits in
    // Met() for the end.
    m_passed = true;
    lock.unlock();
    const int code = m_ending();
    std::fflush(nullptr);
    ::_exit(code);
}

void Deadline::Met() {
    {
        const std::lock_guard lock(m_mutex);
        if (!m_passed) m_met = true;
    }
    m_metSignal.notify_one();
    // After the deadline has passed the watch never returns: the process
    // ends on its thread.
    if (m_thread.joinable()) m_thread.join();
}
