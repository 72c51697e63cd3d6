#include "config/file_store.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>

namespace zentrik {

namespace {

FileReadStatus StatusOfError(int error) {
    switch (error) {
        case ENOENT:
        case ENOTDIR:
            return FileReadStatus::Missing;
        case EACCES:
        case EPERM:
            return FileReadStatus::NoPermission;
        case EISDIR:
            return FileReadStatus::Folder;
        default:
            return FileReadStatus::Failed;
    }
}

}  // namespace

FileReadStatus ReadFileBytes(const std::string& path, std::string& bytes, std::size_t limit) {
    bytes.clear();
    struct stat st;
    if (stat(path.c_str(), &st) != 0) {
        return StatusOfError(errno);
    }
    if (S_ISDIR(st.st_mode)) {
        return FileReadStatus::Folder;
    }
    if (S_ISREG(st.st_mode) && static_cast<unsigned long long>(st.st_size) > limit) {
        return FileReadStatus::TooLarge;
    }
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return StatusOfError(errno);
    }
    // A device or a file that grows is read only up to one byte past the limit.
    char buffer[16384];
    FileReadStatus status = FileReadStatus::Ok;
    for (;;) {
        const std::size_t n = std::fread(buffer, 1, sizeof buffer, file);
        if (bytes.size() + n > limit) {
            status = FileReadStatus::TooLarge;
            break;
        }
        bytes.append(buffer, n);
        if (n < sizeof buffer) {
            if (std::ferror(file)) {
                status = StatusOfError(errno);
            }
            break;
        }
    }
    std::fclose(file);
    if (status != FileReadStatus::Ok) {
        bytes.clear();
    }
    return status;
}

}  // namespace zentrik
