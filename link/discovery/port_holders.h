#pragma once

#include <string>
#include <vector>

namespace zentrik {

// The other programs that hold a device open, each as "name (process 1234)", as far as the
// system shows them: on Linux from /proc (only processes this user may look into); Windows
// shows no one's handles, so nothing there.
std::vector<std::string> PortHolders(const std::string& devicePath);

}  // namespace zentrik
