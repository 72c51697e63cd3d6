#include <windows.h>

#include <cstdlib>

#include "support/test_environment.h"

namespace zentrik::test {

// Both copies of the environment: the C runtime's (getenv) and the system's.
void SetVariable(const char* name, const std::string& value) {
    _putenv_s(name, value.c_str());
    SetEnvironmentVariableA(name, value.c_str());
}

void UnsetVariable(const char* name) {
    _putenv_s(name, "");
    SetEnvironmentVariableA(name, nullptr);
}

}  // namespace zentrik::test
