#pragma once
// Waiting for a condition with a generous deadline. Standard library only: every test folder may
// include it. The event-loop wait is in EventWait.h.

#include <chrono>
#include <functional>
#include <thread>

namespace testcommon {

// Long enough for a loaded two-core machine; only a failing test waits this long.
inline constexpr int kWaitMs = 10000;

// Calls pred() until it holds or timeoutMs passes, running between() after each miss; returns pred().
inline bool PollUntil(const std::function<bool()>& pred, int timeoutMs, const std::function<void()>& between)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!pred()) {
        if (std::chrono::steady_clock::now() >= deadline) return pred();
        between();
    }
    return true;
}

// Waits without running the event loop, so that no notice is handled meanwhile.
inline bool WaitWithoutEvents(const std::function<bool()>& pred, int timeoutMs = kWaitMs)
{
    return PollUntil(pred, timeoutMs, [] { std::this_thread::sleep_for(std::chrono::milliseconds(2)); });
}

}  // namespace testcommon
