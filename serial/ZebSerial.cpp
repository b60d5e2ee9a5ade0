#include "serial/ZebSerial.h"

#include <QCoreApplication>
#include <QObject>

#include <algorithm>

#include "platform/PortNamespace.h"
#include "protocol/ModuleFrame.h"
#include "serial/WindowMessage.h"

ZebSerialNotice::ZebSerialNotice(QEvent::Type type, std::uint8_t commandCode, const protocol::AnswerData& dataBytes,
                                 const std::uint8_t* frameBytes, int length,
                                 std::shared_ptr<std::atomic<int>> pendingCount)
    : QEvent(type)
    , command(commandCode)
    , data(dataBytes)
    , m_pending(std::move(pendingCount))
{
    frameLength = std::clamp(length, 0, static_cast<int>(frame.size()));
    std::copy_n(frameBytes, frameLength, frame.begin());
}

ZebSerialNotice::~ZebSerialNotice()
{
    if (m_pending) m_pending->fetch_sub(1, std::memory_order_relaxed);
}

std::unique_ptr<ZebSerialNotice> ZebSerialNotice::Keep() const
{
    if (m_pending) m_pending->fetch_add(1, std::memory_order_relaxed);
    return std::make_unique<ZebSerialNotice>(type(), command, data, frame.data(), frameLength, m_pending);
}

ZebSerial::ZebSerial() = default;

ZebSerial::~ZebSerial()
{
    // The receive thread calls OnReceiveByte: it must end while this object is still whole.
    Close();
}

void ZebSerial::SetNotifyTarget(QObject* target, unsigned message)
{
    std::lock_guard guard(m_notifyLock);
    notifyWindow = target;
    notifyMessage = message;
}

QEvent::Type ZebSerial::GoneNotice()
{
    static const auto type = static_cast<QEvent::Type>(platform::RegisterWindowMessage("ZebSerial_MSG_GONE_1"));
    return type;
}

void ZebSerial::OnDeviceGone()
{
    std::lock_guard guard(m_notifyLock);
    if (notifyWindow == nullptr || notifyMessage == 0) return;
    QCoreApplication::postEvent(notifyWindow, new QEvent(GoneNotice()));
}

void ZebSerial::OnReceiveByte(std::uint8_t b)
{
    if (m_rx.Push(b)) HandleFrame();
}

void ZebSerial::HandleFrame()
{
    const std::uint8_t code = m_rx.At(protocol::kCodeOffset);
    protocol::AnswerData data{};
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = m_rx.At(protocol::kDataOffset + i);
    // Relaxed is enough: the notice is posted after these stores, and posting orders them for the reader.
    lastCommand.store(code, std::memory_order_relaxed);
    auto store = [&data](auto& slot) {
        for (std::size_t i = 0; i < slot.size(); ++i)
            slot[i].store(data[i], std::memory_order_relaxed);
    };
    switch (code) {
    case protocol::kSearch: store(searchReply); break;
    case protocol::kWriteComParams:
    case protocol::kReadComParams: store(comReply); break;
    case protocol::kWriteAirBaud:
    case protocol::kReadAirBaud: store(airReply); break;
    case protocol::kWriteChannel:
    case protocol::kReadChannel: store(channelReply); break;
    case protocol::kWriteGuestId:
    case protocol::kReadGuestId: store(guestIdReply); break;
    case protocol::kWritePower: powerReply.store(data[0], std::memory_order_relaxed); break;
    default: break;
    }
    m_framesReceived.fetch_add(1, std::memory_order_release);
    PostNotice(code, data);
    m_rx.Reset();
}

void ZebSerial::PostNotice(std::uint8_t code, const protocol::AnswerData& data)
{
    std::lock_guard guard(m_notifyLock);
    if (notifyWindow == nullptr || notifyMessage == 0) return;
    // Only this thread posts notices (a copy a receiver keeps stands in for the notice it was made
    // from), so the count cannot pass the limit between this check and the add.
    if (m_pending->load(std::memory_order_relaxed) >= kMaxPendingNotices) {
        m_droppedNotices.fetch_add(1, std::memory_order_relaxed);
        return;
    }
    m_pending->fetch_add(1, std::memory_order_relaxed);
    QCoreApplication::postEvent(notifyWindow,
                                new ZebSerialNotice(static_cast<QEvent::Type>(notifyMessage), code, data,
                                                    m_rx.Frame().data(), m_rx.Count(), m_pending));
}

int ZebSerial::ProbePorts()
{
    portCount = 0;
    ports.fill(0);
    for (int n = 0; n <= platform::kHighestPort && portCount < kMaxPorts; ++n) {
        if (ProbePort(static_cast<unsigned>(n))) ports[portCount++] = static_cast<std::uint8_t>(n);
    }
    return portCount;
}
