#include <windows.h>

#include "link/discovery/bridge_list.h"
#include "link/discovery/device_bridge_list.h"
#include "link/discovery/port_lookup.h"
#include "link/discovery/registry_reader_win32.h"
#include "link/discovery/serial_device_list.h"
#include "link/discovery/vendor_bridge_list_win32.h"

namespace zentrik {
namespace {

// The bridge vendor's device library, loaded when the list is made and called by ordinal.
constexpr const char* kVendorLibrary = "CP210xManufacturing.dll";

using GetNumDevicesFn = int(WINAPI*)(DWORD* count);
using OpenFn = int(WINAPI*)(DWORD position, HANDLE* handle);
using CloseFn = int(WINAPI*)(HANDLE handle);
using GetSerialNumberFn = int(WINAPI*)(HANDLE handle, void* buffer, BYTE* length, BOOL ascii);
using GetIdFn = int(WINAPI*)(HANDLE handle, WORD* id);

constexpr WORD kGetNumDevicesOrdinal = 1;
constexpr WORD kOpenOrdinal = 3;
constexpr WORD kCloseOrdinal = 4;
constexpr WORD kGetSerialNumberOrdinal = 13;
constexpr WORD kGetVidOrdinal = 14;
constexpr WORD kGetPidOrdinal = 15;

template <typename Fn>
Fn Ordinal(HMODULE library, WORD ordinal) {
    return reinterpret_cast<Fn>(
        reinterpret_cast<void*>(GetProcAddress(library, MAKEINTRESOURCEA(ordinal))));
}

HANDLE ToHandle(BridgeHandle handle) {
    return reinterpret_cast<HANDLE>(handle);
}

// Without the library (not installed) or with an entry missing, no bridge is attached.
class Cp210xBridgeList final : public BridgeList {
  public:
    Cp210xBridgeList() : m_library(LoadLibraryA(kVendorLibrary)) {
        if (!m_library) {
            return;
        }
        m_getNumDevices = Ordinal<GetNumDevicesFn>(m_library, kGetNumDevicesOrdinal);
        m_open = Ordinal<OpenFn>(m_library, kOpenOrdinal);
        m_close = Ordinal<CloseFn>(m_library, kCloseOrdinal);
        m_getSerialNumber = Ordinal<GetSerialNumberFn>(m_library, kGetSerialNumberOrdinal);
        m_getVid = Ordinal<GetIdFn>(m_library, kGetVidOrdinal);
        m_getPid = Ordinal<GetIdFn>(m_library, kGetPidOrdinal);
        m_usable =
            m_getNumDevices && m_open && m_close && m_getSerialNumber && m_getVid && m_getPid;
    }
    ~Cp210xBridgeList() override {
        if (m_library) {
            FreeLibrary(m_library);
        }
    }
    Cp210xBridgeList(const Cp210xBridgeList&) = delete;
    Cp210xBridgeList& operator=(const Cp210xBridgeList&) = delete;

    std::uint32_t Count() override {
        if (!m_usable) {
            return 0;
        }
        DWORD count = 0;
        m_getNumDevices(&count);  // its result is of no use: the count is what matters
        return count;
    }

    bool Open(std::uint32_t position, BridgeHandle* handle) override {
        if (!m_usable) {
            return false;
        }
        HANDLE opened = ToHandle(*handle);
        bool ok = m_open(position, &opened) == 0;
        *handle = reinterpret_cast<BridgeHandle>(opened);
        return ok;
    }

    bool VendorId(BridgeHandle handle, std::uint16_t* vendorId) override {
        WORD id = 0;
        if (!m_usable || m_getVid(ToHandle(handle), &id) != 0) {
            return false;
        }
        *vendorId = id;
        return true;
    }

    bool ProductId(BridgeHandle handle, std::uint16_t* productId) override {
        WORD id = 0;
        if (!m_usable || m_getPid(ToHandle(handle), &id) != 0) {
            return false;
        }
        *productId = id;
        return true;
    }

    void SerialNumber(BridgeHandle handle, char* buffer, std::uint8_t* length) override {
        if (m_usable) {
            m_getSerialNumber(ToHandle(handle), buffer, length, TRUE);
        }
    }

    void Close(BridgeHandle handle) override {
        if (m_usable && handle != kNoBridge) {
            m_close(ToHandle(handle));
        }
    }

    int PortNumber(std::uint16_t vendorId, std::uint16_t productId,
                   std::string_view serial) override {
        // GetVersionEx reports what the program is built for (6.2 for a program without a
        // compatibility manifest on later systems), which is what the registry layout follows.
        OSVERSIONINFOA version = {};
        version.dwOSVersionInfoSize = sizeof version;
        if (!GetVersionExA(&version)) {
            return -1;
        }
        Win32RegistryReader registry;
        switch (
            ChooseLookUp(version.dwPlatformId == VER_PLATFORM_WIN32_NT, version.dwMajorVersion)) {
            case PortLookUp::Nt:
                return LookUpPortNt(registry, vendorId, productId, serial);
            case PortLookUp::Legacy:
                return LookUpPortLegacy(registry, vendorId, productId, serial);
            case PortLookUp::None:
                break;
        }
        return -1;
    }

  private:
    HMODULE m_library;
    bool m_usable = false;
    GetNumDevicesFn m_getNumDevices = nullptr;
    OpenFn m_open = nullptr;
    CloseFn m_close = nullptr;
    GetSerialNumberFn m_getSerialNumber = nullptr;
    GetIdFn m_getVid = nullptr;
    GetIdFn m_getPid = nullptr;
};

}  // namespace

std::unique_ptr<BridgeList> MakeVendorBridgeList() {
    return std::make_unique<Cp210xBridgeList>();
}

// The vendor's library first; when it is missing or lists no bridge, the system's own list of
// serial devices.
std::unique_ptr<BridgeList> MakeSystemBridgeList() {
    return MakeFallbackBridgeList(MakeVendorBridgeList(),
                                  MakeDeviceBridgeList(SystemSerialDevices));
}

}  // namespace zentrik
