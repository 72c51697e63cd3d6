// zentrik.exe: the configuration window.
#include <windows.h>

#include <shellapi.h>

#include <string>
#include <vector>

#include "build_version.h"
#include "shell/shell_texts.h"
#include "shell/single_instance.h"
#include "ui/win32/instance_channel.h"
#include "ui/win32/main_frame.h"
#include "ui/win32/quarnel_app.h"
#include "ui/win32/wide_text.h"

namespace {

namespace texts = zentrik::shell_texts;
using zentrik::win32::Utf8;
using zentrik::win32::Wide;

// The arguments after the program's name, in UTF-8.
std::vector<std::string> Arguments() {
    std::vector<std::string> args;
    int count = 0;
    if (LPWSTR* list = CommandLineToArgvW(GetCommandLineW(), &count)) {
        for (int i = 1; i < count; ++i) {
            args.push_back(Utf8(list[i]));
        }
        LocalFree(list);
    }
    return args;
}

std::string WorkingFolder() {
    std::wstring folder(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), folder.data());
        if (n < folder.size()) {
            folder.resize(n);
            return Utf8(folder);
        }
        folder.resize(n);
    }
}

// A program without a console says what it has to say in a box.
void Say(const std::string& text, UINT icon) {
    MessageBoxW(nullptr, Wide(text).c_str(), Wide(texts::kAppTitle).c_str(), MB_OK | icon);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR /*commandLine*/,
                    int /*show*/) {
    const std::vector<std::string> args = Arguments();
    const zentrik::WindowCommandLine line = zentrik::ParseWindowCommandLine(args);
    if (!line.error.empty()) {
        Say(line.error + "\n" + texts::kWindowUsage, MB_ICONEXCLAMATION);
        return 2;
    }
    if (line.version) {
        Say(std::string("zentrik ") + zentrik::kProductVersion + "  " + zentrik::kBuildVersion,
            MB_ICONINFORMATION);
        return 0;
    }
    int result = 1;
    {
        // The window of the same settings file takes this command line if one runs.
        Win32InstanceChannel channel(instance);
        zentrik::SingleInstance single(channel);
        // GDI+ is started by the application object and shut down when it goes, last.
        CQuarnelApp app(instance);
        switch (
            single.Begin(zentrik::RunSettingsPath(app.Settings()), true, args, WorkingFolder())) {
            case zentrik::SingleInstance::Start::HandedOver:
                return 0;
            case zentrik::SingleInstance::Start::NoAnswer:
                Say(texts::kWindowNotAnswering, MB_ICONEXCLAMATION);
                return 1;
            case zentrik::SingleInstance::Start::Run:
                break;
        }
        if (app.InitInstance()) {
            channel.SetWindow(app.MainFrame()->Hwnd());
            single.Attach(app.MainFrame()->Shell(), line.file);
            result = app.Run();
        }
        app.ExitInstance();
    }
    return result;
}
