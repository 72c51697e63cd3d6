// zentrik: the configuration window.
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QApplication>
#include <QSocketNotifier>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "build_version.h"
#include "shell/shell_texts.h"
#include "shell/single_instance.h"
#include "ui/qt/instance_channel.h"
#include "ui/qt/main_frame.h"
#include "ui/qt/quarnel_app.h"

namespace {

int g_stopPipe[2] = {-1, -1};

void OnStopSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = write(g_stopPipe[1], &byte, 1);
}

// SIGTERM, SIGINT and SIGHUP close the window as the user would, so that the configuration
// and the settings are saved; the handler only wakes the event loop.
void CloseOnStopSignals(CMainFrame& frame) {
    if (pipe2(g_stopPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        return;
    }
    auto* notifier = new QSocketNotifier(g_stopPipe[0], QSocketNotifier::Read, &frame);
    QObject::connect(notifier, &QSocketNotifier::activated, &frame,
                     [&frame](QSocketDescriptor, QSocketNotifier::Type) {
                         char bytes[16];
                         while (read(g_stopPipe[0], bytes, sizeof bytes) > 0) {
                         }
                         frame.close();
                     });
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    for (const int sig : {SIGINT, SIGTERM, SIGHUP}) {
        sigaction(sig, &action, nullptr);
    }
}

}  // namespace

int main(int argc, char** argv) {
    namespace texts = zentrik::shell_texts;
    // Before Qt, which would want a display for it.
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("zentrik %s  %s\n", zentrik::kProductVersion, zentrik::kBuildVersion);
        return 0;
    }
    QApplication application(argc, argv);
    QApplication::setOrganizationName(texts::kMakerName);
    QApplication::setApplicationName(texts::kAppTitle);
    QApplication::setApplicationVersion(zentrik::kProductVersion);
    // What is left once Qt has taken its own options.
    const std::vector<std::string> args(argv + 1, argv + argc);
    const zentrik::WindowCommandLine line = zentrik::ParseWindowCommandLine(args);
    if (!line.error.empty()) {
        std::fprintf(stderr, "zentrik: %s\n%s\n", line.error.c_str(), texts::kWindowUsage);
        return 2;
    }
    if (line.version) {
        std::printf("zentrik %s  %s\n", zentrik::kProductVersion, zentrik::kBuildVersion);
        return 0;
    }

    // The window of the same settings file takes this command line if one runs.
    LocalInstanceChannel channel;
    zentrik::SingleInstance instance(channel);
    CQuarnelApp app;
    std::error_code noFolder;
    const std::string folder = std::filesystem::current_path(noFolder).string();
    switch (instance.Begin(zentrik::RunSettingsPath(app.Settings()), false, args, folder)) {
        case zentrik::SingleInstance::Start::HandedOver:
            return 0;
        case zentrik::SingleInstance::Start::NoAnswer:
            std::fprintf(stderr, "zentrik: %s\n", texts::kWindowNotAnswering);
            return 1;
        case zentrik::SingleInstance::Start::Run:
            break;
    }
    if (!app.InitInstance()) {
        return 1;
    }
    channel.SetWindow(app.MainFrame());
    instance.Attach(app.MainFrame()->Shell(), line.file);
    CloseOnStopSignals(*app.MainFrame());
    const int result = QApplication::exec();
    app.ExitInstance();
    return result;
}
