#include "ui/PortConnect.h"

#include "serial/CXSerial.h"

#include <QEventLoop>
#include <QGuiApplication>

#include <atomic>
#include <optional>
#include <system_error>
#include <thread>
#include <utility>

platform::Result<platform::SerialDevice> PortConnect::Run(int port, int baudRate, int parity)
{
    m_busy = true;
    m_interrupt.Clear();
    // The pointer keeps its arrow: the window still takes clicks (closing it, above all).
    QGuiApplication::setOverrideCursor(Qt::BusyCursor);
    QEventLoop loop;
    std::optional<platform::Result<platform::SerialDevice>> prepared;
    std::atomic<bool> done{false};
    std::thread worker;
    try {
        worker = std::thread([&] {
            prepared.emplace(CXSerial::PrepareDevice(port, baudRate, parity, &m_interrupt));
            done = true;
            QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
        });
    } catch (const std::system_error&) {
        // No thread to be had: the window waits, as it would for a local port.
        prepared.emplace(CXSerial::PrepareDevice(port, baudRate, parity, &m_interrupt));
        done = true;
    }
    // Ends when the worker is done, or early when the application quits.
    if (!done) loop.exec();
    if (!done) m_interrupt.Set();
    if (worker.joinable()) worker.join();
    QGuiApplication::restoreOverrideCursor();
    m_busy = false;
    for (auto& [context, f] : std::exchange(m_whenDone, {}))
        if (context) QMetaObject::invokeMethod(context, std::move(f), Qt::QueuedConnection);
    return *std::move(prepared);
}
