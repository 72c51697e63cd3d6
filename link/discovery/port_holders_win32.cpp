#include "link/discovery/port_holders.h"

namespace zentrik {

std::vector<std::string> PortHolders(const std::string& /*devicePath*/) {
    return {};
}

}  // namespace zentrik
