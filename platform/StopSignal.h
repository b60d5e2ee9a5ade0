#pragma once
// A stop signal a thread can block on in poll() together with a device (an eventfd).

namespace platform {

class StopSignal {
public:
    StopSignal();  // check Valid(): creating the eventfd can fail (descriptor limit)
    ~StopSignal();
    StopSignal(const StopSignal&) = delete;
    StopSignal& operator=(const StopSignal&) = delete;

    bool Valid() const { return m_fd >= 0; }
    void Set();
    void Clear();
    bool IsSet() const;
    // Blocks until the signal is set (retries EINTR).
    void Wait() const;
    // Blocks until the signal is set or timeoutMs passes; true when it is set.
    bool WaitFor(int timeoutMs) const;
    int Fd() const { return m_fd; }

private:
    int m_fd = -1;
};

}  // namespace platform
