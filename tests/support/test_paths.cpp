#include "support/test_paths.h"

#include <cstdlib>
#include <stdexcept>
#include <vector>

namespace zentrik::test {

std::string DataDir() {
    return ZENTRIK_TEST_DATA_DIR;
}

std::string SimulatorPath() {
    return std::string(ZENTRIK_BINARY_DIR) + "/tools/zentrik-sim";
}

std::string CtlPath() {
    return std::string(ZENTRIK_BINARY_DIR) + "/tools/zentrikctl";
}

std::string MakeTempDir() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/zentrik-test-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (mkdtemp(buffer.data()) == nullptr) {
        throw std::runtime_error("mkdtemp failed");
    }
    return buffer.data();
}

}  // namespace zentrik::test
