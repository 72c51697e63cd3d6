#pragma once

#include <string>

#include "config/config_document.h"

namespace zentrik::test {

// A configuration with no field at its default, in psi, whose pressures survive the INI
// file's two decimals exactly.
ConfigDocument SampleConfigDocument();

// The lines of one section of an INI file (without its header), as written; empty when the
// file or the section is missing.
std::string IniSectionText(const std::string& path, const std::string& section);

}  // namespace zentrik::test
