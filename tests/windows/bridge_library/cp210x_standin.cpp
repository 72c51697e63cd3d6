// A stand-in for the bridge vendor's device library, for running discovery under wine.
//
// The attached bridges come from the environment variable ZENTRIK_STANDIN_BRIDGES, read
// afresh at every count (so a test can change them between scans):
//
//     VVVV:PPPP:SERIAL[:FAILURES];VVVV:PPPP:SERIAL...
//
// with the vendor and product ids in hexadecimal, the serial-number string (blanks allowed)
// and, optionally, a comma-separated list of calls that fail for that bridge: open, vid,
// pid. A value that starts with '@' names a file that holds the list instead (one bridge per
// line). When ZENTRIK_STANDIN_LOG names a file, every call appends a line to it:
// "<ordinal> <argument> <result>", so tests can see what the scanner asked for.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

// The vendor library's status codes.
constexpr int kSuccess = 0x00;
constexpr int kInvalidHandle = 0x01;
constexpr int kDeviceNotFound = 0xFF;

constexpr std::size_t kSerialBufferSize = 64;  // what the caller's buffer holds
constexpr std::uintptr_t kHandleBase = 0x5A00;

struct Bridge {
    WORD vendorId = 0;
    WORD productId = 0;
    std::string serial;
    bool failOpen = false;
    bool failVid = false;
    bool failPid = false;
    bool open = false;
};

std::vector<Bridge> g_bridges;

std::string Variable(const char* name) {
    char value[4096];
    const DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
    return length > 0 && length < sizeof value ? std::string(value, length) : std::string();
}

void Log(int ordinal, std::uintptr_t argument, int result) {
    const std::string path = Variable("ZENTRIK_STANDIN_LOG");
    if (path.empty()) {
        return;
    }
    if (FILE* file = std::fopen(path.c_str(), "a")) {
        std::fprintf(file, "%d %llx %d\n", ordinal, static_cast<unsigned long long>(argument),
                     result);
        std::fclose(file);
    }
}

bool ParseBridge(const std::string& entry, Bridge& bridge) {
    const std::size_t first = entry.find(':');
    const std::size_t second = first == std::string::npos ? first : entry.find(':', first + 1);
    if (second == std::string::npos) {
        return false;
    }
    const std::size_t third = entry.find(':', second + 1);
    bridge.vendorId = static_cast<WORD>(std::strtoul(entry.substr(0, first).c_str(), nullptr, 16));
    bridge.productId = static_cast<WORD>(
        std::strtoul(entry.substr(first + 1, second - first - 1).c_str(), nullptr, 16));
    bridge.serial = entry.substr(
        second + 1, third == std::string::npos ? std::string::npos : third - second - 1);
    if (third != std::string::npos) {
        std::stringstream failures(entry.substr(third + 1));
        for (std::string call; std::getline(failures, call, ',');) {
            bridge.failOpen |= call == "open";
            bridge.failVid |= call == "vid";
            bridge.failPid |= call == "pid";
        }
    }
    return true;
}

// Reads the bridge list again. Bridges that stay at their position keep their open state.
void Refresh() {
    std::string text = Variable("ZENTRIK_STANDIN_BRIDGES");
    if (!text.empty() && text[0] == '@') {
        std::ifstream file(text.substr(1));
        std::ostringstream content;
        content << file.rdbuf();
        text = content.str();
    }
    std::vector<Bridge> bridges;
    std::string entry;
    std::stringstream entries(text);
    while (std::getline(entries, entry, text.find('\n') != std::string::npos ? '\n' : ';')) {
        if (!entry.empty() && entry.back() == '\r') {
            entry.pop_back();
        }
        Bridge bridge;
        if (ParseBridge(entry, bridge)) {
            bridges.push_back(bridge);
        }
    }
    for (std::size_t i = 0; i < bridges.size() && i < g_bridges.size(); ++i) {
        bridges[i].open = g_bridges[i].open;
    }
    g_bridges = bridges;
}

Bridge* FromHandle(HANDLE handle) {
    const auto value = reinterpret_cast<std::uintptr_t>(handle);
    if (value < kHandleBase || value - kHandleBase >= g_bridges.size()) {
        return nullptr;
    }
    Bridge& bridge = g_bridges[value - kHandleBase];
    return bridge.open ? &bridge : nullptr;
}

// Ordinals 14 and 15: one of the bridge's USB ids, unless that read is set to fail.
int ReadId(int ordinal, HANDLE handle, WORD* out, WORD Bridge::*id, bool Bridge::*fails) {
    Bridge* bridge = FromHandle(handle);
    const int result = bridge == nullptr ? kInvalidHandle
                       : bridge->*fails  ? kDeviceNotFound
                                         : kSuccess;
    if (result == kSuccess) {
        *out = bridge->*id;
    }
    Log(ordinal, reinterpret_cast<std::uintptr_t>(handle), result);
    return result;
}

}  // namespace

extern "C" {

int WINAPI StandInGetNumDevices(DWORD* count) {
    Refresh();
    *count = static_cast<DWORD>(g_bridges.size());
    Log(1, *count, kSuccess);
    return kSuccess;
}

int WINAPI StandInOpen(DWORD position, HANDLE* handle) {
    int result = kDeviceNotFound;
    if (position < g_bridges.size() && !g_bridges[position].failOpen) {
        g_bridges[position].open = true;
        *handle = reinterpret_cast<HANDLE>(kHandleBase + position);
        result = kSuccess;
    }
    Log(3, position, result);
    return result;
}

int WINAPI StandInClose(HANDLE handle) {
    Bridge* bridge = FromHandle(handle);
    if (bridge != nullptr) {
        bridge->open = false;
    }
    const int result = bridge != nullptr ? kSuccess : kInvalidHandle;
    Log(4, reinterpret_cast<std::uintptr_t>(handle), result);
    return result;
}

int WINAPI StandInGetDeviceVid(HANDLE handle, WORD* vendorId) {
    return ReadId(14, handle, vendorId, &Bridge::vendorId, &Bridge::failVid);
}

int WINAPI StandInGetDevicePid(HANDLE handle, WORD* productId) {
    return ReadId(15, handle, productId, &Bridge::productId, &Bridge::failPid);
}

// Fills at most the caller's 64 bytes but reports the string's whole length, as a library
// with a longer string would.
int WINAPI StandInGetDeviceSerialNumber(HANDLE handle, void* buffer, BYTE* length, BOOL ascii) {
    Bridge* bridge = FromHandle(handle);
    int result = kInvalidHandle;
    if (bridge != nullptr && ascii) {
        const std::size_t size = bridge->serial.size();
        std::memcpy(buffer, bridge->serial.data(),
                    size < kSerialBufferSize ? size : kSerialBufferSize);
        *length = static_cast<BYTE>(size > 255 ? 255 : size);
        result = kSuccess;
    }
    Log(13, reinterpret_cast<std::uintptr_t>(handle), result);
    return result;
}

}  // extern "C"
