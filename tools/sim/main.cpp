// zentrik-sim: the controller simulator on a pseudo-terminal.

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <random>
#include <string_view>
#include <vector>

#include "sim/pty_server.h"
#include "sim/sim_config_image.h"
#include "sim/sim_options.h"
#include "tool_version.h"

namespace {

int g_stopPipe[2] = {-1, -1};

void OnStopSignal(int) {
    const char byte = 1;
    // Nothing to do on failure: the pipe already holds a byte.
    [[maybe_unused]] const ssize_t n = write(g_stopPipe[1], &byte, 1);
}

bool InstallStopSignals() {
    if (pipe(g_stopPipe) != 0) {
        return false;
    }
    for (int fd : g_stopPipe) {
        fcntl(fd, F_SETFD, FD_CLOEXEC);
        fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
    }
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
        if (sigaction(sig, &action, nullptr) != 0) {
            return false;
        }
    }
    signal(SIGPIPE, SIG_IGN);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string_view program = "zentrik-sim";
    std::vector<std::string_view> args(argv + 1, argv + argc);
    zentrik::SimOptionsResult parsed = zentrik::ParseSimOptions(args);
    if (!parsed.options) {
        std::fprintf(stderr, "%s: %s\nTry '%s --help' for more information.\n", program.data(),
                     parsed.error.c_str(), program.data());
        return zentrik::kExitUsage;
    }
    zentrik::SimOptions& options = *parsed.options;
    if (options.help) {
        std::fputs(zentrik::SimUsage(program).c_str(), stdout);
        return 0;
    }
    if (options.showVersion) {
        std::printf("%s\n", zentrik::ToolVersionText(program).c_str());
        return 0;
    }

    if (!options.configPath.empty()) {
        const auto config = zentrik::ControllerConfigFromIni(options.configPath);
        if (!config) {
            std::fprintf(stderr, "%s: cannot read the configuration file %s\n", program.data(),
                         options.configPath.c_str());
            return zentrik::kExitUsage;
        }
        options.session.config = *config;
    }

    zentrik::FaultSettings& faults = options.session.faults;
    if (options.seed) {
        faults.seed = *options.seed;
    } else {
        faults.seed = (std::uint64_t{std::random_device{}()} << 32) | std::random_device{}();
        if (faults.drop > 0 || faults.corrupt > 0 || faults.noise > 0) {
            std::fprintf(stderr, "%s: fault seed %llu\n", program.data(),
                         static_cast<unsigned long long>(faults.seed));
        }
    }

    if (!InstallStopSignals()) {
        std::perror("zentrik-sim: cannot install signal handlers");
        return 1;
    }
    zentrik::PtyServer server(options);
    if (!server.Open()) {
        std::fprintf(stderr, "%s: %s\n", program.data(), server.error().c_str());
        return 1;
    }
    std::printf("%s\n", server.devicePath().c_str());
    std::fflush(stdout);

    if (!server.Run(STDIN_FILENO, g_stopPipe[0])) {
        std::fprintf(stderr, "%s: %s\n", program.data(), server.error().c_str());
        return 1;
    }
    return 0;
}
