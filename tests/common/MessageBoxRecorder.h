#pragma once
// Records the program's message boxes instead of showing them, for as long as it lives.

#include "modal/MessageBox.h"

#include <functional>
#include <utility>
#include <vector>

class MessageBoxRecorder : public platform::ModalPresenter {
public:
    MessageBoxRecorder()
        : m_previous(platform::SetModalPresenter(this))
    { }
    ~MessageBoxRecorder() override { platform::SetModalPresenter(m_previous); }
    MessageBoxRecorder(const MessageBoxRecorder&) = delete;
    MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;

    void Present(const platform::ShownMessageBox& box) override
    {
        m_shown.push_back(box);
        if (m_after) m_after(box);
    }

    const std::vector<platform::ShownMessageBox>& boxes() const { return m_shown; }
    // Runs on every recorded box, after it was recorded (for example to stop an event loop).
    void onShown(std::function<void(const platform::ShownMessageBox&)> callback) { m_after = std::move(callback); }
    void clear() { m_shown.clear(); }

private:
    platform::ModalPresenter* m_previous = nullptr;
    std::vector<platform::ShownMessageBox> m_shown;
    std::function<void(const platform::ShownMessageBox&)> m_after;
};
