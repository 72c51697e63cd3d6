// zentrik: the configuration window.
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QApplication>
#include <QSocketNotifier>
#include <cstdio>
#include <cstring>

#include "build_version.h"
#include "shell/shell_texts.h"
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
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("zentrik %s  %s\n", zentrik::kProductVersion, zentrik::kBuildVersion);
        return 0;
    }
    QApplication application(argc, argv);
    QApplication::setOrganizationName(zentrik::shell_texts::kMakerName);
    QApplication::setApplicationName(zentrik::shell_texts::kAppTitle);
    QApplication::setApplicationVersion(zentrik::kProductVersion);
    CQuarnelApp app;
    if (!app.InitInstance()) {
        return 1;
    }
    CloseOnStopSignals(*app.MainFrame());
    const int result = QApplication::exec();
    app.ExitInstance();
    return result;
}
