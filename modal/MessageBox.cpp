#include "modal/MessageBox.h"

#include <QAbstractButton>
#include <QIcon>
#include <QPointer>

#include <deque>
#include <utility>
#include <vector>

namespace platform {

namespace {
ModalPresenter*& Presenter()
{
    static ModalPresenter* presenter = nullptr;
    return presenter;
}

ExceptionDisplay& Display()
{
    static ExceptionDisplay display;
    return display;
}

struct WaitingBox {
    QPointer<QWidget> parent;
    bool hadParent = false;
    QString text;
    QString title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
};

struct BoxState {
    bool showing = false;
    QString text;
    QString title;
    std::deque<WaitingBox> waiting;
    std::vector<std::function<void()>> whenClosed;
};

BoxState& State()
{
    static BoxState state;
    return state;
}

void ShowNow(QWidget* parent, const QString& text, const QString& title, QMessageBox::Icon icon)
{
    BoxState& state = State();
    state.showing = true;
    state.text = text;
    state.title = title;
    if (Presenter()) {
        Presenter()->Present(ShownMessageBox{parent, text, title, icon});
    } else {
        QMessageBox box(icon, title, text, QMessageBox::Ok, parent);
        // The OK button carries its caption only, whatever glyph the desktop's style adds.
        box.button(QMessageBox::Ok)->setIcon(QIcon());
        box.exec();
    }
    state.showing = false;
}
}  // namespace

void ShowMessageBox(QWidget* parent, const QString& text, const QString& title, QMessageBox::Icon icon)
{
    BoxState& state = State();
    if (state.showing) {
        if (text == state.text && title == state.title) return;
        for (const WaitingBox& w : state.waiting)
            if (w.text == text && w.title == title) return;
        state.waiting.push_back(WaitingBox{parent, parent != nullptr, text, title, icon});
        return;
    }
    ShowNow(parent, text, title, icon);
    while (!state.waiting.empty()) {
        const WaitingBox next = state.waiting.front();
        state.waiting.pop_front();
        // A box whose window has gone meanwhile has nothing left to say.
        if (next.hadParent && next.parent.isNull()) continue;
        ShowNow(next.parent, next.text, next.title, next.icon);
    }
    std::vector<std::function<void()>> run;
    run.swap(state.whenClosed);
    for (const auto& f : run)
        f();
}

bool MessageBoxShowing() { return State().showing; }

void WhenNoMessageBox(std::function<void()> f)
{
    if (!State().showing) {
        f();
        return;
    }
    State().whenClosed.push_back(std::move(f));
}

ModalPresenter* SetModalPresenter(ModalPresenter* presenter) { return std::exchange(Presenter(), presenter); }

void SetExceptionDisplay(ExceptionDisplay display) { Display() = std::move(display); }

void RunHandler(const std::function<void()>& handler)
{
    try {
        handler();
    } catch (...) {
        if (!Display()) throw;
        Display()(std::current_exception());
    }
}

}  // namespace platform
