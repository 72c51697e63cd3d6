#pragma once

#include <windows.h>

namespace zentrik {

// The overlapped record of a Win32 operation. A caller that passes one sets
// overlapped.hEvent and waits on it when the operation stays pending.
struct SerialIoRecord {
    OVERLAPPED overlapped;
};

}  // namespace zentrik
