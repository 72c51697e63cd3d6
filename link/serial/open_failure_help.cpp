#include "link/serial/open_failure_help.h"

#include "base/text_format.h"
#include "link/serial/open_failure_texts.h"

namespace zentrik {

namespace texts = open_failure_texts;

std::string OpenFailureHelpText(const OpenFailureFacts& facts) {
    const char* device = facts.devicePath.c_str();
    switch (facts.kind) {
        case OpenFailureKind::None:
            return {};
        case OpenFailureKind::PermissionDenied: {
            std::string text = FormatText(texts::kPermissionFormat, device);
            text += '\n';
            text += texts::kPackageRule;
            text += '\n';
            const char* group = facts.deviceGroup.c_str();
            if (facts.deviceGroup.empty() || facts.sessionHasGroup) {
                // Joining the group would not help (or there is no group to join).
                text += texts::kAskAdministrator;
            } else if (facts.userListedInGroup) {
                text += FormatText(texts::kLogInAgainFormat, group);
            } else {
                text += FormatText(texts::kJoinGroupFormat, group, group, facts.userName.c_str());
            }
            return text;
        }
        case OpenFailureKind::Busy:
            return FormatText(texts::kBusyFormat, device) + '\n' + texts::kBusyModemManager;
        case OpenFailureKind::Gone:
            return FormatText(texts::kGoneFormat, device);
        case OpenFailureKind::Other:
            break;
    }
    return FormatText(texts::kOtherFormat, facts.errorText.c_str());
}

std::string OpenFailureHelp(std::int32_t error, const std::string& devicePath) {
    return OpenFailureHelpText(GatherOpenFailureFacts(error, devicePath));
}

}  // namespace zentrik
