#include "ui/PortList.h"

#include "platform/PortNamespace.h"

#include <QSocketNotifier>
#include <QTimer>

#include <algorithm>

namespace {

// A port on another machine is its URL alone.
QString ToolTip(const platform::SerialPortInfo& info, const std::string& text)
{
    if (info.kind == platform::PortKind::kNetwork) return QString::fromStdString(info.device);
    return QString::fromStdString(info.device) + QStringLiteral(" \u2014 ") + QString::fromStdString(text);
}

}  // namespace

std::vector<PortListItem> DialogPortItems(const std::vector<platform::ListedPort>& ports, int openPort, int maxPorts)
{
    std::vector<PortListItem> opening;
    std::vector<PortListItem> fixable;
    bool openListed = openPort == 0;
    for (const platform::ListedPort& e : ports) {
        if (e.info.port == 0) continue;
        if (e.Opens() || e.info.port == openPort) {
            opening.push_back({e.info.port, ToolTip(e.info, platform::Description(e.info))});
            openListed = openListed || e.info.port == openPort;
        } else if (e.Fixable()) {
            fixable.push_back({e.info.port, ToolTip(e.info, platform::FixAdvice(e))});
        }
    }
    if (!openListed) opening.push_back({openPort, QString::fromStdString(platform::PortDevicePath(openPort))});
    const auto byPort = [](const PortListItem& a, const PortListItem& b) { return a.port < b.port; };
    std::stable_sort(opening.begin(), opening.end(), byPort);
    // The open port keeps its place within the limit.
    while (static_cast<int>(opening.size()) > maxPorts) {
        auto last
            = std::find_if(opening.rbegin(), opening.rend(), [&](const PortListItem& i) { return i.port != openPort; });
        opening.erase(std::next(last).base());
    }
    opening.insert(opening.end(), fixable.begin(), fixable.end());
    return opening;
}

LivePorts::LivePorts(QObject* parent)
    : QObject(parent)
{
    if (m_model.EventFd() < 0) return;
    m_notifier = new QSocketNotifier(m_model.EventFd(), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &LivePorts::OnEvents);
}

LivePorts::~LivePorts() = default;

void LivePorts::OnEvents()
{
    m_model.TakeEvents();
    if (m_rereadPending) return;
    m_rereadPending = true;
    QTimer::singleShot(0, this, &LivePorts::Reread);
}

void LivePorts::Reread()
{
    m_rereadPending = false;
    if (!m_model.Refresh().empty()) emit Changed();
}
