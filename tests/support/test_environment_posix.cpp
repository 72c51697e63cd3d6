#include <cstdlib>

#include "support/test_environment.h"

namespace zentrik::test {

void SetVariable(const char* name, const std::string& value) {
    ::setenv(name, value.c_str(), 1);
}

void UnsetVariable(const char* name) {
    ::unsetenv(name);
}

}  // namespace zentrik::test
