// zentrik.exe: the configuration window.
#include <windows.h>

#include "ui/win32/quarnel_app.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR /*commandLine*/,
                    int /*show*/) {
    int result = 1;
    {
        // GDI+ is started by the application object and shut down when it goes, last.
        CQuarnelApp app(instance);
        if (app.InitInstance()) {
            result = app.Run();
        }
        app.ExitInstance();
    }
    return result;
}
