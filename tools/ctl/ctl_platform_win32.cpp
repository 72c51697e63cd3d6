#include <io.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "ctl/ctl_platform.h"

namespace zentrik {

// Both copies of the environment: the C runtime's (getenv) and the system's (child
// processes, GetEnvironmentVariable).
void SetProcessVariable(const char* name, const std::string& value) {
    _putenv_s(name, value.c_str());
    SetEnvironmentVariableA(name, value.c_str());
}

bool StandardInputIsTerminal() {
    return _isatty(_fileno(stdin)) != 0;
}

}  // namespace zentrik
