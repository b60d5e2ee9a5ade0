// Fuzzes the frame assembler against a straightforward reference of its rules, and the
// ZebSerial reply slots against the frames it announced.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "protocol/FrameAssembler.h"
#include "serial/ZebSerial.h"

namespace {

// The rules as plainly as they can be written: hold bytes from an 0xAF, end at the first CR LF,
// drop everything when 21 bytes do not end in CR LF.
struct Reference {
    std::vector<std::uint8_t> held;
    bool Push(std::uint8_t b, std::vector<std::uint8_t>* frame)
    {
        held.push_back(b);
        if (held[0] != 0xAF) {
            held.clear();
            return false;
        }
        const std::size_t n = held.size();
        if (n >= 2 && held[n - 2] == 0x0D && held[n - 1] == 0x0A) {
            *frame = held;
            held.clear();
            return true;
        }
        if (n > 20) held.clear();
        return false;
    }
};

void Check(bool condition)
{
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    protocol::FrameAssembler rx;
    Reference ref;
    ZebSerial serial;
    std::vector<std::uint8_t> expected;
    std::uint8_t lastCode = 0;
    std::uint64_t frames = 0;
    for (std::size_t i = 0; i < size; ++i) {
        const bool done = rx.Push(data[i]);
        Check(done == ref.Push(data[i], &expected));
        serial.OnReceiveByte(data[i]);
        if (done) {
            const auto frame = rx.Frame();
            Check(frame.size() == expected.size() && std::equal(frame.begin(), frame.end(), expected.begin()));
            Check(frame.size() >= 3 && frame.size() <= protocol::FrameAssembler::kMaxFrameLength);
            for (std::size_t k = frame.size(); k < 64; ++k)
                Check(rx.At(k) == 0);
            lastCode = rx.At(6);
            if (lastCode == 6)
                Check(serial.channelReply[0].load() == rx.At(8) && serial.channelReply[1].load() == rx.At(9));
            if (lastCode == 0) Check(serial.searchReply[3].load() == rx.At(11));
            ++frames;
            rx.Reset();
        } else {
            Check(rx.Count() == static_cast<int>(ref.held.size()));
        }
        Check(serial.FramesReceived() == frames);
        Check(serial.lastCommand.load() == lastCode);
    }
    return 0;
}
