#pragma once
// Waiting for a condition while the event loop runs, for the tests that have a Qt application.

#include "common/Wait.h"

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>

namespace testcommon {

// Runs the event loop of the application (which must exist) until pred() holds or timeoutMs passes;
// returns pred(). Objects deleted later are deleted on the way, as the program's own loop would.
inline bool WaitUntil(const std::function<bool()>& pred, int timeoutMs = kWaitMs)
{
    return PollUntil(pred, timeoutMs, [] {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    });
}

}  // namespace testcommon
