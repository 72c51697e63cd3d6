#include "link/discovery/registry_reader_win32.h"

#include <windows.h>

namespace zentrik {
namespace {

HKEY ToHkey(RegistryReader::Key key) {
    return key == RegistryReader::kLocalMachine ? HKEY_LOCAL_MACHINE : reinterpret_cast<HKEY>(key);
}

}  // namespace

bool Win32RegistryReader::OpenKey(Key parent, const std::string& subKey, Key* key) {
    HKEY opened = nullptr;
    if (RegOpenKeyExA(ToHkey(parent), subKey.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) {
        return false;
    }
    *key = reinterpret_cast<Key>(opened);
    return true;
}

RegistryReader::ReadResult Win32RegistryReader::ReadValue(Key key, const char* name, char* buffer,
                                                          std::uint32_t* length) {
    DWORD size = *length;
    LONG status = RegQueryValueExA(ToHkey(key), name, nullptr, nullptr,
                                   reinterpret_cast<BYTE*>(buffer), &size);
    *length = size;
    if (status == ERROR_SUCCESS) {
        return ReadResult::Ok;
    }
    return status == ERROR_MORE_DATA ? ReadResult::MoreData : ReadResult::Failed;
}

void Win32RegistryReader::CloseKey(Key key) {
    if (key != kLocalMachine) {
        RegCloseKey(ToHkey(key));
    }
}

}  // namespace zentrik
