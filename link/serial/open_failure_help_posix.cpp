// The facts behind a failed open on POSIX systems: errno, the device node's group, the user.
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "link/serial/open_failure_help.h"

namespace zentrik {
namespace {

OpenFailureKind KindOf(std::int32_t error) {
    switch (error) {
        case 0:
            return OpenFailureKind::None;
        case EACCES:
        case EPERM:
            return OpenFailureKind::PermissionDenied;
        case EBUSY:  // TIOCEXCL, or our own advisory lock held by another opener
            return OpenFailureKind::Busy;
        case ENOENT:
        case ENODEV:
        case ENXIO:
        case EIO:  // a tty whose device has been unplugged
            return OpenFailureKind::Gone;
        default:
            return OpenFailureKind::Other;
    }
}

std::string UserName() {
    if (const passwd* user = getpwuid(geteuid()); user != nullptr && user->pw_name != nullptr) {
        return user->pw_name;
    }
    const char* name = std::getenv("USER");
    return name != nullptr && *name != '\0' ? name : "$USER";
}

// Whether the group database lists the effective user in `gid` (primary or supplementary).
bool ListedInGroup(gid_t gid) {
    const passwd* user = getpwuid(geteuid());
    if (user == nullptr) {
        return false;
    }
    if (user->pw_gid == gid) {
        return true;
    }
    int count = 64;
    std::vector<gid_t> groups(static_cast<std::size_t>(count));
    if (getgrouplist(user->pw_name, user->pw_gid, groups.data(), &count) < 0) {
        groups.resize(static_cast<std::size_t>(count));
        if (getgrouplist(user->pw_name, user->pw_gid, groups.data(), &count) < 0) {
            return false;
        }
    }
    groups.resize(static_cast<std::size_t>(count));
    return std::find(groups.begin(), groups.end(), gid) != groups.end();
}

bool SessionHasGroup(gid_t gid) {
    if (getegid() == gid) {
        return true;
    }
    const int count = getgroups(0, nullptr);
    if (count <= 0) {
        return false;
    }
    std::vector<gid_t> groups(static_cast<std::size_t>(count));
    const int got = getgroups(count, groups.data());
    return got > 0 && std::find(groups.begin(), groups.begin() + got, gid) != groups.begin() + got;
}

}  // namespace

std::string SystemErrorText(std::int32_t error) {
    return std::strerror(error);
}

OpenFailureFacts GatherOpenFailureFacts(std::int32_t error, const std::string& devicePath) {
    OpenFailureFacts facts;
    facts.kind = KindOf(error);
    facts.devicePath = devicePath;
    facts.errorText = SystemErrorText(error);
    if (facts.kind != OpenFailureKind::PermissionDenied) {
        return facts;
    }
    facts.userName = UserName();
    struct stat st {};
    if (stat(devicePath.c_str(), &st) != 0 || st.st_gid == 0) {
        return facts;  // no group a user should join
    }
    if (const group* owner = getgrgid(st.st_gid); owner != nullptr && owner->gr_name != nullptr) {
        facts.deviceGroup = owner->gr_name;
        facts.userListedInGroup = ListedInGroup(st.st_gid);
        facts.sessionHasGroup = SessionHasGroup(st.st_gid);
    }
    return facts;
}

}  // namespace zentrik
