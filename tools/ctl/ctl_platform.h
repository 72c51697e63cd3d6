#pragma once

#include <string>

namespace zentrik {

// Sets an environment variable of this process, before any thread starts.
void SetProcessVariable(const char* name, const std::string& value);

// Whether standard input is a terminal (questions are then asked at a prompt).
bool StandardInputIsTerminal();

}  // namespace zentrik
