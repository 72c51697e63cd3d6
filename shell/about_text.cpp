#include "shell/about_text.h"

#include "build_version.h"
#include "shell/shell_texts.h"

namespace zentrik {

std::string AboutVersionText() {
    return std::string(shell_texts::kVersionPrefix) + kProductVersion + "  " + kBuildVersion;
}

}  // namespace zentrik
