#pragma once

namespace zentrik {

// Environment variable naming a file that receives the send time of every firmware unit of
// an upgrade (nanoseconds from the first, one per line), for benchmarks.
inline constexpr const char* kUnitTimesVariable = "ZENTRIK_CTL_UNIT_TIMES";

// The whole tool: parses the command line, reads the settings and runs the command on the
// process's standard streams. Returns the exit status.
int CtlMain(int argc, char** argv);

}  // namespace zentrik
