#pragma once
// How everything below the serial object says that it failed: a Result holds the value of a call
// that worked, or the SerialError captured where the call failed. A value that may simply be absent
// is a std::optional instead; nothing returns a sentinel or fills an out-parameter with the reason.

#include <string>
#include <utility>
#include <variant>

namespace protocol {

// Why a serial operation failed, captured at the failing call so that whoever shows a message can
// say "permission denied" or "in use".
struct SerialError {
    int errnoValue = 0;  // errno at the failure; 0 when the failure had no errno
    std::string device;  // the device path involved, empty when none
    std::string reason;  // short lower-case text: "in use", "permission denied", "no such device", ...

    // "<device>: <reason>", or just the reason when there is no device.
    std::string Describe() const { return device.empty() ? reason : device + ": " + reason; }
    bool operator==(const SerialError&) const = default;
};

template <typename T = void> class [[nodiscard]] Result {
public:
    Result(T value)
        : m_state(std::in_place_index<0>, std::move(value))
    { }
    Result(SerialError error)
        : m_state(std::in_place_index<1>, std::move(error))
    { }

    bool Ok() const { return m_state.index() == 0; }
    explicit operator bool() const { return Ok(); }
    // The value; only when Ok().
    const T& operator*() const& { return std::get<0>(m_state); }
    T&& operator*() && { return std::get<0>(std::move(m_state)); }
    const T* operator->() const { return &std::get<0>(m_state); }
    // The failure; only when not Ok().
    const SerialError& Error() const { return std::get<1>(m_state); }

private:
    std::variant<T, SerialError> m_state;
};

// Success carries nothing.
template <> class [[nodiscard]] Result<void> {
public:
    Result() = default;
    Result(SerialError error)
        : m_error(std::move(error))
        , m_failed(true)
    { }

    bool Ok() const { return !m_failed; }
    explicit operator bool() const { return Ok(); }
    const SerialError& Error() const { return m_error; }

private:
    SerialError m_error;
    bool m_failed = false;
};

}  // namespace protocol
