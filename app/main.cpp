// zentrik: the configuration window.
#include <QApplication>
#include <cstdio>
#include <cstring>

#include "app/app_texts.h"
#include "app/quarnel_app.h"
#include "build_version.h"

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("zentrik %s  %s\n", zentrik::kProductVersion, zentrik::kBuildVersion);
        return 0;
    }
    QApplication application(argc, argv);
    QApplication::setOrganizationName(zentrik::app_texts::kMakerName);
    QApplication::setApplicationName(zentrik::app_texts::kAppTitle);
    QApplication::setApplicationVersion(zentrik::kProductVersion);
    CQuarnelApp app;
    if (!app.InitInstance()) {
        return 1;
    }
    const int result = QApplication::exec();
    app.ExitInstance();
    return result;
}
