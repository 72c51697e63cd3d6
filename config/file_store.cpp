#include "config/file_store.h"

#include <cerrno>
#include <cstdio>

namespace zentrik {

FileReadStatus ReadFileBytes(const std::string& path, std::string& bytes) {
    bytes.clear();
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return errno == ENOENT ? FileReadStatus::Missing : FileReadStatus::Failed;
    }
    char buffer[16384];
    bool ok = true;
    for (;;) {
        const std::size_t n = std::fread(buffer, 1, sizeof buffer, file);
        bytes.append(buffer, n);
        if (bytes.size() > kMaxSettingsFileSize) {
            ok = false;
            break;
        }
        if (n < sizeof buffer) {
            ok = !std::ferror(file);
            break;
        }
    }
    std::fclose(file);
    if (!ok) {
        bytes.clear();
        return FileReadStatus::Failed;
    }
    return FileReadStatus::Ok;
}

}  // namespace zentrik
