#include "config/file_store.h"

#include <windows.h>

#include <algorithm>
#include <vector>

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

// Temporary files are "<file>.tmp-<process>-<n>". A save holds its temporary file open without
// sharing it from creating it until it has been renamed over the file, so a temporary file that
// can be deleted is left over from a save that died before it was marked for deletion.
const char kTempInfix[] = ".tmp-";

std::string TemporaryName(const std::string& path) {
    static LONG counter = 0;
    return path + kTempInfix + std::to_string(GetCurrentProcessId()) + "-" +
           std::to_string(InterlockedIncrement(&counter));
}

std::wstring WideName(const std::string& path) {
    // The "A" calls take paths in the process's code page: the same conversion as theirs.
    const int size = MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0);
    if (size <= 0) {
        return {};
    }
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide.data(), size);
    wide.pop_back();  // the terminating null
    return wide;
}

void RemoveDeadTemporaries(const std::string& path) {
    const std::string folder = FolderOf(path);
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((path + kTempInfix + "*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) {
        return;
    }
    do {
        if ((entry.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) ==
            0) {
            // Fails, leaving it alone, while a live save holds it open.
            DeleteFileA((folder + "\\" + entry.cFileName).c_str());
        }
    } while (FindNextFileA(find, &entry));
    FindClose(find);
}

// Marks the open file for deletion when its last handle closes (a process that is killed
// closes its handles too), or takes the mark away.
bool MarkForDeletion(HANDLE file, bool marked) {
    FILE_DISPOSITION_INFO disposition{};
    disposition.DeleteFile = marked ? TRUE : FALSE;
    return SetFileInformationByHandle(file, FileDispositionInfo, &disposition,
                                      sizeof disposition) != 0;
}

// Renames the open file over `target` through its own handle, so that no other save can take
// it for a dead one in between.
bool RenameOver(HANDLE file, const std::string& target) {
    const std::wstring name = WideName(target);
    if (name.empty()) {
        return false;
    }
    const std::size_t bytes = sizeof(FILE_RENAME_INFO) + name.size() * sizeof(wchar_t);
    std::vector<unsigned char> buffer(bytes, 0);
    auto* rename = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    rename->ReplaceIfExists = TRUE;
    rename->RootDirectory = nullptr;
    rename->FileNameLength = static_cast<DWORD>(name.size() * sizeof(wchar_t));
    name.copy(rename->FileName, name.size());
    return SetFileInformationByHandle(file, FileRenameInfo, rename, static_cast<DWORD>(bytes)) != 0;
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
    RemoveDeadTemporaries(path);
    const std::string tempPath = TemporaryName(path);
    // Not shared: while this handle is open no one else can delete or open the file.
    const HANDLE h = CreateFileA(tempPath.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        return false;
    }
    // Until it is whole, the temporary file goes with the handle, also when the process dies.
    bool ok = MarkForDeletion(h, true);
    std::size_t done = 0;
    while (ok && done < bytes.size()) {
        const DWORD chunk =
            static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
        DWORD written = 0;
        ok = WriteFile(h, bytes.data() + done, chunk, &written, nullptr) != 0 && written > 0;
        done += written;
    }
    ok = ok && FlushFileBuffers(h) != 0;
    ok = ok && MarkForDeletion(h, false) && RenameOver(h, path);
    if (!ok) {
        MarkForDeletion(h, true);
    }
    CloseHandle(h);
    return ok;
}

}  // namespace zentrik
