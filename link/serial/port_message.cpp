#include "link/serial/port_message.h"

#include <map>
#include <mutex>
#include <string>

namespace zentrik {

std::uint32_t RegisterPortMessage(std::string_view name) {
    static std::mutex lock;
    static std::map<std::string, std::uint32_t, std::less<>> ids;
    if (name.empty()) {
        return 0;
    }
    std::lock_guard<std::mutex> guard(lock);
    if (auto found = ids.find(name); found != ids.end()) {
        return found->second;
    }
    std::uint32_t id = kFirstRegisteredMessage + static_cast<std::uint32_t>(ids.size());
    if (id > kLastRegisteredMessage) {
        return 0;
    }
    ids.emplace(std::string(name), id);
    return id;
}

std::uint32_t DefaultPortMessage() {
    static const std::uint32_t id = RegisterPortMessage(kDefaultPortMessageName);
    return id;
}

}  // namespace zentrik
