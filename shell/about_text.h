#pragma once

#include <string>

namespace zentrik {

// The About box's version text: "Version 3.1.0", two blanks, then this build's own version.
std::string AboutVersionText();

}  // namespace zentrik
