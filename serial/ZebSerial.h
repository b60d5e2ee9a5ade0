#pragma once
// The module's serial object: CXSerial with the frame assembler, the reply slots, the port list
// and the search cursor, and the notice posted for every complete frame.

#include <QEvent>

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

#include "protocol/FrameAssembler.h"
#include "serial/CXSerial.h"

class QObject;

// The notice posted to the notify target once per complete frame. Its type is the registered
// message number given to SetNotifyTarget. It carries a copy of the frame, so the handler reads
// the code and data of exactly that frame, whatever the receive thread does meanwhile.
// A notice counts as pending with its serial object from posting until it is destroyed.
class ZebSerialNotice : public QEvent {
public:
    ZebSerialNotice(QEvent::Type type, std::uint8_t command, const protocol::AnswerData& data,
                    const std::uint8_t* frame, int frameLength, std::shared_ptr<std::atomic<int>> pending = {});
    ~ZebSerialNotice() override;
    ZebSerialNotice(const ZebSerialNotice&) = delete;
    ZebSerialNotice& operator=(const ZebSerialNotice&) = delete;

    // A copy to handle later, which still counts as pending: while a receiver holds notices back,
    // the receive thread drops the frames beyond ZebSerial::kMaxPendingNotices (and counts them)
    // instead of posting an unbounded backlog; it is never held back itself.
    std::unique_ptr<ZebSerialNotice> Keep() const;

    std::uint8_t command = 0;     // byte 6 of the frame
    protocol::AnswerData data{};  // bytes 8..11; positions the frame does not reach are 0
    std::array<std::uint8_t, protocol::FrameAssembler::kMaxFrameLength> frame{};  // the frame as received
    int frameLength = 0;

private:
    std::shared_ptr<std::atomic<int>> m_pending;
};

class ZebSerial : public CXSerial {
public:
    ZebSerial();
    ~ZebSerial() override;  // closes the port before the assembler goes away

    // The frame assembler; receive thread only.
    void OnReceiveByte(std::uint8_t b) override;

    // Frame notices waiting for the target at most; frames beyond are counted and dropped until the
    // target has handled some. A real line brings a few hundred answers a second at most.
    static constexpr int kMaxPendingNotices = 64;

    // Where the notice goes: target (a QObject living on the thread that should handle it) and the
    // registered number (platform::RegisterWindowMessage). A null target or 0 posts nothing. After
    // this returns, no notice is posted to an earlier target.
    void SetNotifyTarget(QObject* target, unsigned message);
    // The type of the event posted to the notify target once when the device goes away (unplugged
    // adapter, closed pty). IsOpen is 0 from then on; Close or a new Open releases the device.
    static QEvent::Type GoneNotice();

    // Search cursor and port list: GUI thread only.
    std::uint8_t scanPortItem = 0;
    std::uint8_t scanBaudItem = 0;
    std::uint8_t scanParityItem = 0;
    std::uint8_t selectedBaudItem = 0;

    // Reply slots: written by the receive thread, readable from any thread; they keep the last answer
    // of each code. No handler reads them: each reads the copy its ZebSerialNotice carries.
    std::array<std::atomic<std::uint8_t>, 4> searchReply{};   // code 0
    std::array<std::atomic<std::uint8_t>, 2> comReply{};      // codes 1, 2
    std::array<std::atomic<std::uint8_t>, 2> airReply{};      // codes 3, 4
    std::array<std::atomic<std::uint8_t>, 2> channelReply{};  // codes 5, 6
    std::array<std::atomic<std::uint8_t>, 2> guestIdReply{};  // codes 12, 13
    std::atomic<std::uint8_t> powerReply{0};                  // code 19

    static constexpr int kMaxPorts = 8;
    std::uint8_t portCount = 0;
    std::array<std::uint8_t, kMaxPorts> ports{};
    // Probes ports 0..63 and keeps the first kMaxPorts that open, ascending. Returns portCount.
    int ProbePorts();

    std::atomic<std::uint8_t> lastCommand{0};  // code of the last complete frame; like the slots, read by no handler

    // Complete frames assembled since construction (any thread).
    std::uint64_t FramesReceived() const { return m_framesReceived.load(); }
    // Notices posted and not yet destroyed, and frames not announced because that number was at
    // kMaxPendingNotices (any thread).
    int PendingNotices() const { return m_pending->load(); }
    std::uint64_t DroppedNotices() const { return m_droppedNotices.load(); }

protected:
    void OnDeviceGone() override;
    // A frame cut off when the last device went away must not swallow the new device's first answer.
    void OnStreamStart() override { m_rx.Reset(); }

private:
    void HandleFrame();
    // Kept out of line: the sanitizer build recognises the notice hand-off by this name.
    [[gnu::noinline]] void PostNotice(std::uint8_t code, const protocol::AnswerData& data);

    std::mutex m_notifyLock;  // guards the target against SetNotifyTarget from the GUI thread
    QObject* notifyWindow = nullptr;
    unsigned notifyMessage = 0;
    protocol::FrameAssembler m_rx;  // rxBuffer and rxCount
    std::atomic<std::uint64_t> m_framesReceived{0};
    // Shared with the notices, which may outlive this object in an event queue.
    std::shared_ptr<std::atomic<int>> m_pending = std::make_shared<std::atomic<int>>(0);
    std::atomic<std::uint64_t> m_droppedNotices{0};
};
