#include "common/TempConfigHome.h"

#include <stdlib.h>
#include <sys/stat.h>

#include <cstdlib>
#include <string>
#include <system_error>

namespace fs = std::filesystem;

namespace testcommon {

TempConfigHome::TempConfigHome(const char* tag)
{
    std::string tmpl = std::string("/tmp/orvane-") + tag + "-XXXXXX";
    // Without a directory of its own the test would write into the real configuration.
    if (::mkdtemp(tmpl.data()) == nullptr) std::abort();
    root = tmpl;
    ::chmod(root.c_str(), 0755);
    fs::create_directories(root / "orvane" / "ports");
    fs::permissions(root / "orvane", fs::perms(0755));
    fs::permissions(root / "orvane" / "ports", fs::perms(0755));
    ::setenv("XDG_CONFIG_HOME", root.c_str(), 1);
}

TempConfigHome::~TempConfigHome()
{
    std::error_code ec;
    fs::remove_all(root, ec);
}

}  // namespace testcommon
