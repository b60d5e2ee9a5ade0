#pragma once

#include <QApplication>
#include <QString>

#include <exception>

// The application object. An exception thrown by an event handler is caught here, shown in the
// exception display, and the event loop goes on.
class Application : public QApplication {
public:
    Application(int& argc, char** argv);
    ~Application() override;

    bool notify(QObject* receiver, QEvent* event) override;

    // The modal error box for a caught exception: the message of ours, an empty text for anything
    // else.
    void ShowException(std::exception_ptr error);

    // The executable's file name up to its first ".", its first letter as it is, the rest lower case.
    static QString TitleFromFileName(const QString& fileName);
    // The message with a full stop appended when it ends in a character after ".".
    static QString DisplayText(const QString& message);

    QString Title() const { return m_title; }

private:
    QString m_title;
};
