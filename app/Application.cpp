#include "app/Application.h"

#include "modal/MessageBox.h"
#include "ui/Conversion.h"

#include <QFileInfo>

Application::Application(int& argc, char** argv)
    : QApplication(argc, argv)
    , m_title(TitleFromFileName(QFileInfo(applicationFilePath()).fileName()))
{
    platform::SetExceptionDisplay([this](std::exception_ptr error) { ShowException(error); });
}

Application::~Application() { platform::SetExceptionDisplay({}); }

// The windows' handlers show their exceptions themselves (RunHandler); this catches what any other
// event handler throws.
bool Application::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        ShowException(std::current_exception());
        return true;
    }
}

void Application::ShowException(std::exception_ptr error)
{
    QString message;
    try {
        std::rethrow_exception(error);
    } catch (const orvane::Exception& e) {
        message = e.message();
    } catch (...) {
        // Anything that is not our exception is shown as one with an empty message.
    }
    platform::ShowMessageBox(activeWindow(), DisplayText(message), m_title, QMessageBox::Critical);
}

QString Application::TitleFromFileName(const QString& fileName)
{
    const QString stem = fileName.section(u'.', 0, 0);
    if (stem.isEmpty()) return stem;
    return stem.left(1) + stem.mid(1).toLower();
}

QString Application::DisplayText(const QString& message)
{
    if (!message.isEmpty() && message.back() > u'.') return message + u'.';
    return message;
}
