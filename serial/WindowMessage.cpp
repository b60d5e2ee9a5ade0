#include "serial/WindowMessage.h"

#include <QEvent>

#include <map>
#include <mutex>

namespace platform {

unsigned RegisterWindowMessage(const std::string& name)
{
    static std::mutex lock;
    static std::map<std::string, unsigned> registered;
    std::lock_guard guard(lock);
    auto it = registered.find(name);
    if (it != registered.end()) return it->second;
    const int type = QEvent::registerEventType();
    if (type < 0) return 0;
    registered.emplace(name, static_cast<unsigned>(type));
    return static_cast<unsigned>(type);
}

}  // namespace platform
