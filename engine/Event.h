// CEvent: an auto-reset event, and WaitForAny over several events with a time-out, for the playback
// thread's commands (the portable stand-in for kernel events and WaitForMultipleObjects).
#pragma once

#include <chrono>
#include <condition_variable>
#include <initializer_list>
#include <mutex>
#include <vector>

class CEvent {
public:
    CEvent() = default;
    CEvent(const CEvent&) = delete;
    CEvent& operator=(const CEvent&) = delete;

    // Signals the event; it stays signalled until one wait consumes it (auto-reset).
    void SetEvent();
    void ResetEvent();
    // Waits without limit and consumes the signal.
    void Lock();

private:
    friend struct EventWaiter;
    friend int WaitForAny(std::initializer_list<CEvent*>, std::chrono::steady_clock::time_point);

    // Consumes the signal if set; true when it was set.
    bool TryConsume();

    // Guards signalled and waiters. Lock order: an event's guard before a waiter's guard (SetEvent notifies
    // while holding it); a waiter never holds its own guard while taking an event's.
    std::mutex guard;
    bool signalled = false;
    std::vector<struct EventWaiter*> waiters; // threads inside WaitForAny on this event
};

inline constexpr int WAIT_TIMEOUT_INDEX = -1;
inline constexpr int WAIT_INFINITE_MS = -1;

// Waits until one of the events is signalled and consumes it; returns its index in the list. When several
// are signalled the lowest index wins and only that one is consumed. Returns WAIT_TIMEOUT_INDEX when the
// deadline passes first; a deadline in the past only checks once.
int WaitForAny(std::initializer_list<CEvent*> events, std::chrono::steady_clock::time_point deadline);
// The same with a relative time-out in milliseconds; WAIT_INFINITE_MS waits without limit.
int WaitForAny(std::initializer_list<CEvent*> events, int timeoutMs);
