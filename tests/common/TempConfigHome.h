#pragma once
// A private configuration home for tests that touch the ports directory.

#include <filesystem>

namespace testcommon {

// XDG_CONFIG_HOME points at a fresh temporary directory /tmp/orvane-<tag>-XXXXXX, with an
// empty orvane/ports inside, for the life of the object. Everything is mode 0755: a test may
// run a program as another user.
class TempConfigHome {
public:
    explicit TempConfigHome(const char* tag);
    ~TempConfigHome();
    TempConfigHome(const TempConfigHome&) = delete;
    TempConfigHome& operator=(const TempConfigHome&) = delete;
    const std::filesystem::path& Path() const { return root; }

private:
    std::filesystem::path root;
};

}  // namespace testcommon
