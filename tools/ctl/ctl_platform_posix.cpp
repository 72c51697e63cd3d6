#include <unistd.h>

#include <cstdlib>

#include "ctl/ctl_platform.h"

namespace zentrik {

void SetProcessVariable(const char* name, const std::string& value) {
    ::setenv(name, value.c_str(), 1);
}

bool StandardInputIsTerminal() {
    return ::isatty(STDIN_FILENO) == 1;
}

}  // namespace zentrik
