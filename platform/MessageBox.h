#pragma once

#include <QMessageBox>
#include <QString>
#include <QWidget>

#include <functional>
#include <vector>

namespace platform {

// A modal message box with an OK button only. Every box the program shows goes through here,
// so that tests can replace the modal loop with a recorder.
// Boxes never nest: a box asked for while one is showing (from a timer or a notice handled in the
// box's modal loop) is not shown inside it. When its text and title equal those of the box on
// screen it is dropped; otherwise it waits and is shown after that box has closed, once.
// GUI thread only.
void ShowMessageBox(QWidget* parent, const QString& text, const QString& title,
                    QMessageBox::Icon icon = QMessageBox::NoIcon);

// True while a box is showing (also while the test recorder's hook runs).
bool MessageBoxShowing();
// Runs f once no box is showing: at once when none is, else after the last one has closed.
void WhenNoMessageBox(std::function<void()> f);

struct ShownMessageBox {
    QWidget* parent = nullptr;
    QString text;
    QString title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
};

using MessageBoxHook = std::function<void(const ShownMessageBox&)>;

// Replaces the real box by the hook; an empty hook brings the real box back.
void SetMessageBoxHook(MessageBoxHook hook);

// Test seam: while it lives, boxes are recorded instead of shown.
class MessageBoxRecorder {
public:
    MessageBoxRecorder();
    ~MessageBoxRecorder();
    MessageBoxRecorder(const MessageBoxRecorder&) = delete;
    MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;

    const std::vector<ShownMessageBox>& boxes() const { return shown; }
    // Runs on every recorded box, after it was recorded (for example to stop an event loop).
    void onShown(std::function<void(const ShownMessageBox&)> callback) { after = std::move(callback); }
    void clear() { shown.clear(); }

private:
    std::vector<ShownMessageBox> shown;
    std::function<void(const ShownMessageBox&)> after;
};

}  // namespace platform
