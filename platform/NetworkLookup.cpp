#include "platform/NetworkLookup.h"

#include "platform/StopSignal.h"

#include <netdb.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>

namespace platform {

namespace {

Result<std::vector<ResolvedAddress>> Resolve(const std::string& host, std::uint16_t port)
{
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICSERV | AI_ADDRCONFIG;
    addrinfo* list = nullptr;
    const int status = ::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &list);
    if (status != 0) {
        const std::string why = status == EAI_SYSTEM ? std::strerror(errno) : ::gai_strerror(status);
        return ErrorOf(EHOSTUNREACH, {}, "cannot resolve " + host + ": " + why);
    }
    std::vector<ResolvedAddress> out;
    for (const addrinfo* a = list; a != nullptr; a = a->ai_next) {
        if (a->ai_addrlen > sizeof(sockaddr_storage)) continue;
        ResolvedAddress r;
        r.family = a->ai_family;
        std::memcpy(&r.address, a->ai_addr, a->ai_addrlen);
        r.length = a->ai_addrlen;
        out.push_back(r);
    }
    ::freeaddrinfo(list);
    return out;
}

// What the lookup thread and the waiting caller share; whoever is last frees it.
struct Shared {
    std::mutex lock;
    std::condition_variable done;
    std::optional<Result<std::vector<ResolvedAddress>>> result;
};

}  // namespace

Result<std::vector<ResolvedAddress>> LookUp(const std::string& host, std::uint16_t port, int timeoutMs,
                                            const StopSignal* interrupt)
{
    auto shared = std::make_shared<Shared>();
    try {
        std::thread([shared, host, port] {
            auto found = Resolve(host, port);
            std::lock_guard guard(shared->lock);
            shared->result.emplace(std::move(found));
            shared->done.notify_all();
        }).detach();
    } catch (const std::system_error&) {
        return Resolve(host, port);
    }
    // The interrupt is an eventfd, not a condition: it is looked at every few milliseconds.
    constexpr auto kSlice = std::chrono::milliseconds(20);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    std::unique_lock guard(shared->lock);
    while (!shared->result) {
        if (interrupt != nullptr && interrupt->IsSet()) return ErrorOf(ECANCELED, {}, "cancelled");
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline)
            return ErrorOf(ETIMEDOUT, {}, "cannot resolve " + host + ": no answer from the name service");
        shared->done.wait_for(guard, std::min<std::chrono::steady_clock::duration>(kSlice, deadline - now));
    }
    return *std::move(shared->result);
}

}  // namespace platform
