#include "engine/Event.h"

#include <algorithm>
#include <utility>

// One waiting thread. A signal bumps wakeups so that a SetEvent between the waiter's check of the events
// and its sleep is never lost.
struct EventWaiter {
    std::mutex guard; // guards wakeups
    std::condition_variable wake;
    unsigned long wakeups = 0;

    void Notify() {
        {
            std::lock_guard lock(guard);
            ++wakeups;
        }
        wake.notify_one();
    }
};

void CEvent::SetEvent() {
    std::lock_guard lock(guard);
    signalled = true;
    for (EventWaiter* waiter : waiters) waiter->Notify();
}

void CEvent::ResetEvent() {
    std::lock_guard lock(guard);
    signalled = false;
}

void CEvent::Lock() { WaitForAny({this}, std::chrono::steady_clock::time_point::max()); }

bool CEvent::TryConsume() {
    std::lock_guard lock(guard);
    return std::exchange(signalled, false);
}

int WaitForAny(std::initializer_list<CEvent*> events, std::chrono::steady_clock::time_point deadline) {
    auto firstSignalled = [&]() -> int {
        int index = 0;
        for (CEvent* event : events) {
            if (event->TryConsume()) return index;
            ++index;
        }
        return WAIT_TIMEOUT_INDEX;
    };
    if (deadline <= std::chrono::steady_clock::now()) return firstSignalled();

    EventWaiter waiter;
    for (CEvent* event : events) {
        std::lock_guard lock(event->guard);
        event->waiters.push_back(&waiter);
    }
    int result = WAIT_TIMEOUT_INDEX;
    for (;;) {
        unsigned long seen;
        {
            std::lock_guard lock(waiter.guard);
            seen = waiter.wakeups;
        }
        result = firstSignalled();
        if (result != WAIT_TIMEOUT_INDEX) break;
        std::unique_lock lock(waiter.guard);
        const auto wokenUp = [&] { return waiter.wakeups != seen; };
        // time_point::max() means no limit; it is not handed to wait_until, which would overflow converting it.
        bool woken = true;
        if (deadline == std::chrono::steady_clock::time_point::max())
            waiter.wake.wait(lock, wokenUp);
        else
            woken = waiter.wake.wait_until(lock, deadline, wokenUp);
        if (!woken) {
            lock.unlock();
            result = firstSignalled(); // a signal racing the deadline still counts
            break;
        }
    }
    for (CEvent* event : events) {
        std::lock_guard lock(event->guard);
        event->waiters.erase(std::remove(event->waiters.begin(), event->waiters.end(), &waiter), event->waiters.end());
    }
    return result;
}

int WaitForAny(std::initializer_list<CEvent*> events, int timeoutMs) {
    if (timeoutMs < 0) return WaitForAny(events, std::chrono::steady_clock::time_point::max());
    return WaitForAny(events, std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs));
}
