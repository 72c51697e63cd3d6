#pragma once

#include <string>

namespace zentrik::test {

// Folder of the checked-in test data (golden INI files, frames).
std::string DataDir();
// Paths of the built tools, for end-to-end tests.
std::string SimulatorPath();
std::string CtlPath();
// A fresh, empty temporary folder, unique per call.
std::string MakeTempDir();

}  // namespace zentrik::test
