#include "config/file_store.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace zentrik {

namespace {

constexpr mode_t kAnyWrite = S_IWUSR | S_IWGRP | S_IWOTH;

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

// mkdir -p for the folder; created folders are private to the user.
bool CreateFolders(const std::string& folder) {
    struct stat st;
    if (stat(folder.c_str(), &st) == 0) {
        return S_ISDIR(st.st_mode);
    }
    const std::string parent = FolderOf(folder);
    if (parent != folder && !CreateFolders(parent)) {
        return false;
    }
    return mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST;
}

bool WriteAll(int fd, std::string_view bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// Temporary files are "<file>.tmp-<pid>-<n>". A save holds an exclusive flock on its
// temporary file from creating it until it has been renamed over the file; a temporary
// file that nobody holds locked is left over from a save that died.
const char kTempInfix[] = ".tmp-";

bool SameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Whether `fd` is still the file at `path` (a cleaner may have removed it in between).
bool IsAt(int fd, const std::string& path) {
    struct stat byFd, byPath;
    return fstat(fd, &byFd) == 0 && lstat(path.c_str(), &byPath) == 0 && SameFile(byFd, byPath);
}

// Creates a new temporary file beside the target, locked; the umask applies to its mode.
int CreateTemporary(const std::string& target, std::string& tempPath) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempPath = target + kTempInfix + std::to_string(getpid()) + "-" + std::to_string(attempt);
        const int fd = open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (errno == EEXIST) {
                continue;
            }
            return -1;
        }
        // Between the create and the lock another save may have taken the file for a dead
        // one and removed it; then start over with a new name.
        if (flock(fd, LOCK_EX | LOCK_NB) == 0 && IsAt(fd, tempPath)) {
            return fd;
        }
        close(fd);
    }
    return -1;
}

// Removes the temporary files of `target` that no save holds locked. Only regular files
// are touched, and only after their lock is ours and the name still leads to them.
void RemoveDeadTemporaries(const std::string& target) {
    const std::string folder = FolderOf(target);
    const std::size_t slash = target.rfind('/');
    const std::string prefix =
        (slash == std::string::npos ? target : target.substr(slash + 1)) + kTempInfix;
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) {
        return;
    }
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.compare(0, prefix.size(), prefix) != 0) {
            continue;
        }
        const std::string path = folder + "/" + name;
        const int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) {
            continue;
        }
        struct stat st;
        if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && flock(fd, LOCK_EX | LOCK_NB) == 0 &&
            IsAt(fd, path)) {
            unlink(path.c_str());
        }
        close(fd);  // releases the lock
    }
    closedir(dir);
}

}  // namespace

bool IsWritableFolder(const std::string& folder) {
    struct stat st;
    if (stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        return false;
    }
    return (st.st_mode & kAnyWrite) != 0 && access(folder.c_str(), W_OK | X_OK) == 0;
}

bool ReplaceFileBytes(const std::string& path, std::string_view bytes, bool createFolder) {
    if (path.empty()) {
        return false;
    }
    // Write through a symbolic link to the file it names, keeping the link.
    std::string target = path;
    struct stat st;
    if (lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        char resolved[PATH_MAX];
        if (realpath(path.c_str(), resolved) == nullptr) {
            return false;
        }
        target = resolved;
    }
    const bool exists = stat(target.c_str(), &st) == 0;
    if (exists) {
        if (!S_ISREG(st.st_mode) || (st.st_mode & kAnyWrite) == 0 ||
            access(target.c_str(), W_OK) != 0) {
            return false;
        }
    }
    const std::string folder = FolderOf(target);
    if (createFolder && !exists && !CreateFolders(folder)) {
        return false;
    }
    if (!IsWritableFolder(folder)) {
        return false;
    }
    RemoveDeadTemporaries(target);
    std::string tempPath;
    const int fd = CreateTemporary(target, tempPath);
    if (fd < 0) {
        return false;
    }
    // The lock lives as long as any descriptor of this open file: this one holds it past the
    // close below, until the rename is done.
    const int lockFd = dup(fd);
    bool ok = WriteAll(fd, bytes);
    if (ok && exists) {
        ok = fchmod(fd, st.st_mode & 07777) == 0;
    }
    ok = ok && fsync(fd) == 0;
    ok = (close(fd) == 0) && ok && lockFd >= 0;
    if (ok) {
        ok = rename(tempPath.c_str(), target.c_str()) == 0;
    }
    if (!ok) {
        unlink(tempPath.c_str());
    }
    if (lockFd >= 0) {
        close(lockFd);
    }
    if (!ok) {
        return false;
    }
    const int dirFd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        fsync(dirFd);  // best effort: make the rename itself durable
        close(dirFd);
    }
    return true;
}

}  // namespace zentrik
