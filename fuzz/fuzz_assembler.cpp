// Fuzzes the frame assembler against a straightforward reference of its rules.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "protocol/FrameAssembler.h"

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
    std::vector<std::uint8_t> expected;
    for (std::size_t i = 0; i < size; ++i) {
        const bool done = rx.Push(data[i]);
        Check(done == ref.Push(data[i], &expected));
        if (done) {
            const auto frame = rx.Frame();
            Check(frame.size() == expected.size() && std::equal(frame.begin(), frame.end(), expected.begin()));
            Check(frame.size() >= 3 && frame.size() <= protocol::FrameAssembler::kMaxFrameLength);
            for (std::size_t k = frame.size(); k < 64; ++k)
                Check(rx.At(k) == 0);
            rx.Reset();
        } else {
            Check(rx.Count() == static_cast<int>(ref.held.size()));
        }
    }
    return 0;
}
