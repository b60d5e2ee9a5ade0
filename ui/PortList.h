#pragma once
// The port list the window offers, kept current: a socket notifier watches the system's device
// events and the list is read again on the next turn of the event loop, once per burst.

#include "platform/PortModel.h"
#include "ui/PortDialogHost.h"

#include <QObject>

#include <vector>

class QSocketNotifier;

// The items the dialog shows: at most kMaxPorts ports that open, in COM order (the port open here
// among them even when its device has gone: the hang-up path takes it away), then the ports the user
// could make usable, each with a tooltip saying why it does not open and what to do.
std::vector<PortListItem> DialogPortItems(const std::vector<platform::ListedPort>& ports, int openPort, int maxPorts);

class LivePorts : public QObject {
    Q_OBJECT

public:
    explicit LivePorts(QObject* parent = nullptr);
    ~LivePorts() override;

    const std::vector<platform::ListedPort>& Ports() const { return m_model.Ports(); }

signals:
    // The list has changed.
    void Changed();

private:
    void OnEvents();
    void Reread();

    platform::PortModel m_model;
    QSocketNotifier* m_notifier = nullptr;
    bool m_rereadPending = false;
};
