#pragma once

#include <cstdint>

namespace zentrik {

// POSIX has no overlapped I/O: an operation given a record runs to completion (or its
// time-out) before it returns and leaves its outcome here, so a caller that checks
// `completed` after the call never waits for anything.
struct SerialIoRecord {
    std::uint32_t transferred = 0;  // bytes read or written
    std::uint32_t eventBits = 0;    // events seen by WaitForEvent
    bool completed = false;
};

}  // namespace zentrik
