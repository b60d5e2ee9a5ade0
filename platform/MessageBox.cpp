#include "platform/MessageBox.h"

namespace platform {

namespace {
MessageBoxHook& Hook()
{
    static MessageBoxHook hook;
    return hook;
}
}  // namespace

void ShowMessageBox(QWidget* parent, const QString& text, const QString& title, QMessageBox::Icon icon)
{
    if (Hook()) {
        Hook()(ShownMessageBox{parent, text, title, icon});
        return;
    }
    QMessageBox box(icon, title, text, QMessageBox::Ok, parent);
    box.exec();
}

void SetMessageBoxHook(MessageBoxHook hook)
{
    Hook() = std::move(hook);
}

MessageBoxRecorder::MessageBoxRecorder()
{
    SetMessageBoxHook([this](const ShownMessageBox& box) {
        shown.push_back(box);
        if (after)
            after(box);
    });
}

MessageBoxRecorder::~MessageBoxRecorder()
{
    SetMessageBoxHook({});
}

}  // namespace platform
