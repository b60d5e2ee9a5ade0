#pragma once
// Standard output and error for orvane-cli and orvane-modsim: every write checked, so that output
// lost on a full disk or a closed descriptor ends the program with an error instead of success.

#include <array>
#include <streambuf>
#include <string>

namespace cmdline {

// Opens /dev/null on each of the descriptors 0, 1 and 2 that is closed, the wrong way round (read
// only for output, write only for input): using it still fails, with EBADF as the closed one would,
// and no device the program opens later takes its number (a port on 1 would receive the output).
void KeepStandardDescriptors();

// An output buffer on a descriptor that keeps the first write error; after one, nothing more is
// written and the stream using it goes bad. Line-buffered, it writes each line whole, at once.
class CheckedOutput : public std::streambuf {
public:
    explicit CheckedOutput(int fd, bool lineBuffered = false);
    CheckedOutput(const CheckedOutput&) = delete;
    CheckedOutput& operator=(const CheckedOutput&) = delete;

    // Writes what is buffered and closes the descriptor: the first errno of any write or of the
    // close, or 0.
    int Finish();

protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* s, std::streamsize n) override;
    int sync() override;

private:
    bool Drain();

    int m_fd;
    bool m_lineBuffered;
    int m_error = 0;
    std::array<char, 4096> m_buffer{};
};

// "cannot write to standard output: No space left on device"
std::string WriteFailure(const char* streamName, int error);

// For --help and --version: writes `text` to standard output and closes it. 0, or 1 with
// "program: cannot write to standard output: ..." on standard error.
int PrintAndClose(const char* program, const std::string& text);

}  // namespace cmdline
