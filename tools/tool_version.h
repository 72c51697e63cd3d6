#pragma once

#include <string>
#include <string_view>

#include "build_version.h"

namespace zentrik {

// What the tools' --version prints: the program, the product release and the build's own
// version, as the window's About box shows them.
inline std::string ToolVersionText(std::string_view program) {
    return std::string(program) + " " + kProductVersion + "  " + kBuildVersion;
}

}  // namespace zentrik
