#include "config/file_store.h"

#include <windows.h>

#include <algorithm>

namespace zentrik {

namespace {

std::string FolderOf(const std::string& path) {
    const std::size_t sep = path.find_last_of("\\/");
    if (sep == std::string::npos) {
        return ".";
    }
    return path.substr(0, sep == 0 ? 1 : sep);
}

bool CreateFolders(const std::string& folder) {
    const DWORD attributes = GetFileAttributesA(folder.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    }
    const std::string parent = FolderOf(folder);
    if (parent != folder && parent.size() > 2 && !CreateFolders(parent)) {
        return false;
    }
    return CreateDirectoryA(folder.c_str(), nullptr) != 0 || GetLastError() == ERROR_ALREADY_EXISTS;
}

std::string TemporaryName(const std::string& path) {
    return path + ".tmp-" + std::to_string(GetCurrentProcessId());
}

}  // namespace

bool IsWritableFolder(const std::string& folder) {
    // Access rights on Windows live in ACLs: probe by creating a file that deletes itself.
    const bool hasSeparator = !folder.empty() && (folder.back() == '\\' || folder.back() == '/');
    const std::string probe = folder + (hasSeparator ? "" : "\\") + TemporaryName("zentrik-probe");
    const HANDLE h = CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                 FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        return false;
    }
    CloseHandle(h);
    return true;
}

bool ReplaceFileBytes(const std::string& path, std::string_view bytes, bool createFolder) {
    if (path.empty()) {
        return false;
    }
    const DWORD attributes = GetFileAttributesA(path.c_str());
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (exists && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
        return false;
    }
    if (createFolder && !exists && !CreateFolders(FolderOf(path))) {
        return false;
    }
    const std::string tempPath = TemporaryName(path);
    const HANDLE h = CreateFileA(tempPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        return false;
    }
    bool ok = true;
    std::size_t done = 0;
    while (ok && done < bytes.size()) {
        const DWORD chunk =
            static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
        DWORD written = 0;
        ok = WriteFile(h, bytes.data() + done, chunk, &written, nullptr) != 0 && written > 0;
        done += written;
    }
    ok = ok && FlushFileBuffers(h) != 0;
    ok = (CloseHandle(h) != 0) && ok;
    ok = ok && MoveFileExA(tempPath.c_str(), path.c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    if (!ok) {
        DeleteFileA(tempPath.c_str());
    }
    return ok;
}

}  // namespace zentrik
