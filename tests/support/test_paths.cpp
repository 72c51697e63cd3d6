#include "support/test_paths.h"

#include <cstdint>
#include <filesystem>
#include <random>
#include <stdexcept>

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
    // The system's temporary folder ($TMPDIR, or %TMP% on Windows); a name that exists
    // already is simply tried again.
    const std::filesystem::path base = std::filesystem::temp_directory_path();
    std::random_device seed;
    std::mt19937_64 random((std::uint64_t{seed()} << 32) | seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::filesystem::path folder =
            base / ("zentrik-test-" + std::to_string(random() % 1000000000));
        std::error_code error;
        if (std::filesystem::create_directory(folder, error)) {
            return folder.string();
        }
    }
    throw std::runtime_error("cannot make a temporary folder in " + base.string());
}

}  // namespace zentrik::test
