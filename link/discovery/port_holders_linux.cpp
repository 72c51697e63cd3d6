#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <system_error>

#include "link/discovery/port_holders.h"

namespace zentrik {

std::vector<std::string> PortHolders(const std::string& devicePath) {
    namespace fs = std::filesystem;
    std::vector<std::string> holders;
    std::error_code error;
    const fs::path device = fs::canonical(devicePath, error);
    if (error) {
        return holders;
    }
    const std::string self = std::to_string(getpid());
    for (const fs::directory_entry& process : fs::directory_iterator("/proc", error)) {
        const std::string pid = process.path().filename().string();
        if (pid.find_first_not_of("0123456789") != std::string::npos || pid == self) {
            continue;
        }
        std::error_code denied;
        for (const fs::directory_entry& fd :
             fs::directory_iterator(process.path() / "fd", denied)) {
            std::error_code gone;
            if (fs::read_symlink(fd.path(), gone) == device) {
                std::string name;
                std::getline(std::ifstream(process.path() / "comm"), name);
                holders.push_back((name.empty() ? "?" : name) + " (process " + pid + ")");
                break;
            }
        }
    }
    return holders;
}

}  // namespace zentrik
