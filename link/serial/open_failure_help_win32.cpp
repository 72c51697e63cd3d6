// The facts behind a failed open on Windows: there are no device groups to join, and a port
// that another program holds reports access denied.
#include <windows.h>

#include "link/serial/open_failure_help.h"

namespace zentrik {
namespace {

OpenFailureKind KindOf(std::int32_t error) {
    switch (error) {
        case 0:
            return OpenFailureKind::None;
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
            return OpenFailureKind::Busy;
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_DEV_NOT_EXIST:
        case ERROR_GEN_FAILURE:
            return OpenFailureKind::Gone;
        default:
            return OpenFailureKind::Other;
    }
}

}  // namespace

std::string SystemErrorText(std::int32_t error) {
    char buffer[512] = {};
    const DWORD length =
        FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                       static_cast<DWORD>(error), 0, buffer, sizeof buffer, nullptr);
    std::string text(buffer, length);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == '.')) {
        text.pop_back();
    }
    return text.empty() ? "error " + std::to_string(error) : text;
}

OpenFailureFacts GatherOpenFailureFacts(std::int32_t error, const std::string& devicePath) {
    OpenFailureFacts facts;
    facts.kind = KindOf(error);
    facts.devicePath = devicePath;
    facts.errorText = SystemErrorText(error);
    return facts;
}

}  // namespace zentrik
