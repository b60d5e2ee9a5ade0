#pragma once
// The one place where the program's modal output goes: message boxes (the windows' and the skin's)
// and the exceptions that event handlers throw. Tests put a presenter in place of the real boxes,
// so that no test ever blocks on a modal loop.

#include <QMessageBox>
#include <QString>
#include <QWidget>

#include <exception>
#include <functional>

namespace platform {

struct ShownMessageBox {
    QWidget* parent = nullptr;
    QString text;
    QString title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
};

// Shows a box modally and returns when it has been closed.
class ModalPresenter {
public:
    virtual ~ModalPresenter() = default;
    virtual void Present(const ShownMessageBox& box) = 0;
};

// Puts a presenter in place of the real boxes; nullptr brings the real boxes back. Returns the
// presenter that was installed before.
ModalPresenter* SetModalPresenter(ModalPresenter* presenter);

// A modal message box with an OK button only. Every box the program shows goes through here.
// Boxes never nest: a box asked for while one is showing (from a timer or a notice handled in the
// box's modal loop) is not shown inside it. When its text and title equal those of the box on
// screen it is dropped; otherwise it waits and is shown after that box has closed, once.
// GUI thread only.
void ShowMessageBox(QWidget* parent, const QString& text, const QString& title,
                    QMessageBox::Icon icon = QMessageBox::NoIcon);

// True while a box is showing (also while a presenter's Present runs).
bool MessageBoxShowing();
// Runs f once no box is showing: at once when none is, else after the last one has closed.
void WhenNoMessageBox(std::function<void()> f);

// Where an exception thrown by an event handler is shown. The application installs its exception
// display here; without one the exception goes on to the caller.
using ExceptionDisplay = std::function<void(std::exception_ptr)>;
void SetExceptionDisplay(ExceptionDisplay display);

// Runs an event handler and hands what it throws to the exception display, so that an exception
// never unwinds through the toolkit's event delivery.
void RunHandler(const std::function<void()>& handler);

}  // namespace platform
