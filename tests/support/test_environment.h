#pragma once

#include <string>

namespace zentrik::test {

// Sets or removes an environment variable of the test process.
void SetVariable(const char* name, const std::string& value);
void UnsetVariable(const char* name);

}  // namespace zentrik::test
