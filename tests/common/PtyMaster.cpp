#include "common/PtyMaster.h"

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

namespace testcommon {

int OpenPtyMaster(std::string* slavePath)
{
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    char name[128] = {};
    if (master < 0) return -1;
    if (::grantpt(master) != 0 || ::unlockpt(master) != 0 || ::ptsname_r(master, name, sizeof name) != 0) {
        ::close(master);
        return -1;
    }
    *slavePath = name;
    return master;
}

}  // namespace testcommon
