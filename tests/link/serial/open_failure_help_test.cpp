// The help for a port that does not open, chosen from real open errors on real ttys. Tests
// run as root here, which no permission stops, so the permission cases open the tty in a
// child that has dropped to the unprivileged user "nobody"; as any other user the tty is
// made unreadable for its owner instead.
#include "link/serial/open_failure_help.h"

#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <vector>

#include "link/serial/serial_line.h"
#include "support/pty_pair.h"

namespace zentrik {
namespace {

constexpr uid_t kNobody = 65534;
constexpr gid_t kNoGroup = 65534;

struct OpenOutcome {
    int error = -1;
    std::string help;
};

OpenOutcome OpenHere(const std::string& path) {
    CSerialLine line;
    OpenOutcome outcome;
    outcome.error = line.Open(path.c_str());
    outcome.help = OpenFailureHelp(outcome.error, path);
    return outcome;
}

// Opens the device in a child running as "nobody" with the given supplementary groups, and
// brings back the error and the help the child got.
OpenOutcome OpenAsNobody(const std::string& path, const std::vector<gid_t>& groups) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0) {
        return {};
    }
    const pid_t child = fork();
    if (child == 0) {
        close(pipeFds[0]);
        int error = -1;
        std::string help;
        if (setgroups(groups.size(), groups.data()) == 0 && setgid(kNoGroup) == 0 &&
            setuid(kNobody) == 0) {
            const OpenOutcome outcome = OpenHere(path);
            error = outcome.error;
            help = outcome.help;
        }
        const std::string message = std::to_string(error) + "\n" + help;
        [[maybe_unused]] const ssize_t n = write(pipeFds[1], message.data(), message.size());
        _exit(0);
    }
    close(pipeFds[1]);
    std::string message;
    char buffer[4096];
    for (ssize_t n; (n = read(pipeFds[0], buffer, sizeof buffer)) > 0;) {
        message.append(buffer, static_cast<std::size_t>(n));
    }
    close(pipeFds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    OpenOutcome outcome;
    const std::size_t newline = message.find('\n');
    if (newline == std::string::npos) {
        return outcome;
    }
    outcome.error = std::stoi(message.substr(0, newline));
    outcome.help = message.substr(newline + 1);
    return outcome;
}

bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

gid_t GroupNamed(const char* name) {
    const group* entry = getgrnam(name);
    return entry ? entry->gr_gid : static_cast<gid_t>(-1);
}

TEST(OpenFailureHelp, PermissionDeniedNamesTheDevicesGroupAndTheCommand) {
    test::PtyPair pty;
    ASSERT_TRUE(pty.Ok());
    const std::string& path = pty.SlavePath();
    if (geteuid() != 0) {
        // The owner itself is refused by mode 0; the group is the tty's own.
        ASSERT_EQ(chmod(path.c_str(), 0), 0);
        const OpenOutcome outcome = OpenHere(path);
        ASSERT_EQ(outcome.error, EACCES);
        EXPECT_TRUE(Has(outcome.help, "Permission to open " + path + " was denied."))
            << outcome.help;
        EXPECT_TRUE(Has(outcome.help, "unplug the controller and plug it in again"));
        return;
    }
    const gid_t dialout = GroupNamed("dialout");
    ASSERT_NE(dialout, static_cast<gid_t>(-1)) << "Debian has a dialout group";

    // Owned by root:dialout, read-write for the group only, as a USB serial tty is.
    ASSERT_EQ(chown(path.c_str(), 0, dialout), 0);
    ASSERT_EQ(chmod(path.c_str(), 0660), 0);
    OpenOutcome outcome = OpenAsNobody(path, {});
    ASSERT_EQ(outcome.error, EACCES) << outcome.help;
    EXPECT_EQ(outcome.help,
              "Permission to open " + path +
                  " was denied.\n"
                  "The Zentrik package's udev rule gives the user at the computer access to the "
                  "controller when it is plugged in: if the package is installed, unplug the "
                  "controller and plug it in again.\n"
                  "Without the package, join the group that owns the device, \"dialout\", then "
                  "log out and log in again:\n    sudo usermod -aG dialout nobody");

    // The group's members may open it: joining is what helps.
    outcome = OpenAsNobody(path, {dialout});
    EXPECT_EQ(outcome.error, 0) << outcome.help;
    EXPECT_EQ(outcome.help, "");

    // A login that already has the group is not helped by joining it again.
    ASSERT_EQ(chmod(path.c_str(), 0600), 0);
    outcome = OpenAsNobody(path, {dialout});
    ASSERT_EQ(outcome.error, EACCES);
    EXPECT_FALSE(Has(outcome.help, "usermod")) << outcome.help;
    EXPECT_TRUE(Has(outcome.help, "ask the administrator")) << outcome.help;

    // Nor is anyone told to join root's group.
    ASSERT_EQ(chown(path.c_str(), 0, 0), 0);
    ASSERT_EQ(chmod(path.c_str(), 0660), 0);
    outcome = OpenAsNobody(path, {});
    ASSERT_EQ(outcome.error, EACCES);
    EXPECT_FALSE(Has(outcome.help, "usermod")) << outcome.help;
    EXPECT_TRUE(Has(outcome.help, "ask the administrator")) << outcome.help;
}

TEST(OpenFailureHelp, BusyGoneAndOtherErrorsFromRealOpens) {
    {
        test::PtyPair pty;
        ASSERT_TRUE(pty.Ok());
        CSerialLine holder;
        ASSERT_EQ(holder.Open(pty.SlavePath().c_str()), kErrorSuccess);
        const OpenOutcome busy = OpenHere(pty.SlavePath());
        EXPECT_EQ(busy.error, EBUSY);
        EXPECT_EQ(busy.help, pty.SlavePath() +
                                 " is in use by another program, for example a terminal program "
                                 "or ModemManager. Close that program, then try again.\n"
                                 "The Zentrik package's udev rule keeps ModemManager away from "
                                 "the controller from the next time it is plugged in.");
    }
    // A node that is not there, as an unplugged bridge's is not. (A closed pseudo-terminal's
    // number is no such node: a test running beside this one may get it again at once.)
    char folder[] = "/tmp/zentrik-gone-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const std::string vanished = std::string(folder) + "/ttyUSB0";
    const OpenOutcome gone = OpenHere(vanished);
    rmdir(folder);
    EXPECT_EQ(gone.error, ENOENT);
    EXPECT_EQ(gone.help, vanished +
                             " is not there: the controller is unplugged, or its USB connection "
                             "was reset. Plug it in, then try again.");

    // Not a tty at all: the system's own words.
    const OpenOutcome other = OpenHere("/dev/null");
    EXPECT_EQ(other.error, ENOTTY);
    EXPECT_EQ(other.help, "The system reported: Inappropriate ioctl for device.");
}

TEST(OpenFailureHelp, AMemberWhoseLoginPredatesTheGroupIsToldToLogInAgain) {
    OpenFailureFacts facts;
    facts.kind = OpenFailureKind::PermissionDenied;
    facts.devicePath = "/dev/ttyUSB0";
    facts.deviceGroup = "dialout";
    facts.userName = "ann";
    facts.userListedInGroup = true;
    const std::string help = OpenFailureHelpText(facts);
    EXPECT_TRUE(Has(help,
                    "You are a member of the group that owns the device, \"dialout\", but "
                    "this login started before you joined it: log out and log in again."))
        << help;
    EXPECT_FALSE(Has(help, "usermod"));
}

}  // namespace
}  // namespace zentrik
