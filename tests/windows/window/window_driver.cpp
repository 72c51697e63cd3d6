// Drives a running zentrik.exe from outside, as a user's hands would, for the end-to-end run:
// finds its window and dialogs by class and caption, chooses commands, presses buttons and
// reads texts. One verb per call; the script strings them together.
//
//   window_driver frame-wait SECONDS          the main window is up
//   window_driver button ID                   a toolbar button: its text, then 1 or 0 (enabled)
//   window_driver command ID                  choose a command (menu or toolbar id)
//   window_driver form-text ID                the text of the form's control ID
//   window_driver dialog-wait CAPTION SECONDS a dialog is up: prints its static texts
//   window_driver dialog-gone CAPTION SECONDS the dialog has gone
//   window_driver text CAPTION ID             the text of a dialog's control
//   window_driver shown-wait CAPTION ID SECONDS  a dialog's control is shown
//   window_driver set-text CAPTION ID TEXT    type into a dialog's control
//   window_driver press CAPTION ID            press a dialog's button
//   window_driver yes-until CAPTION SECONDS   answer Yes to every box until CAPTION is up
//   window_driver close SECONDS               close the main window and wait until it has gone
//   window_driver resize WIDTH HEIGHT         give the main window that size (screenshots)
//   window_driver device-change arrival|removal  tell the main window, as the system does,
//                                             that COM5 came or went; returns once handled
//   window_driver box-wait CAPTION SECONDS    a message box is up (not a file chooser of the
//                                             same caption): its buttons, "icon" when it shows
//                                             one, and its texts
//   window_driver fits                        the main window against its screen's work area:
//                                             for each direction "whole" when the form is not
//                                             cut, "screen" when the window spans the work area
//   window_driver close-kill EXE MICROSECONDS [FILE]  start EXE, close its main window once
//                                             it is up and kill the program that long after:
//                                             "killed", or "ended" with the microseconds it took;
//                                             with FILE and more than 20 ms to wait, "saved" and
//                                             the microseconds until FILE was written
//   window_driver save-kill EXE FILE MICROSECONDS  start EXE, save its configuration over FILE
//                                             by Save Configuration As (Yes to replacing it) and
//                                             kill the program that long after the Yes; prints as
//                                             close-kill
//
// And for the benchmarks (scripts/bench_wine.sh), each printing milliseconds:
//   window_driver start-time EXE              starts EXE, waits for its painted, idle window
//                                             (the start), then closes it
//   window_driver upgrade FILE SECONDS        a whole firmware upgrade from FILE through the
//                                             window: Yes to its questions, the file chosen,
//                                             the transfer until the result (prints the whole
//                                             upgrade, then the transfer in the dialog)
//
// Exit status 0 when the verb did what it says, 1 (with the reason on stderr) when not.
#include <windows.h>

#include <commctrl.h>
#include <dbt.h>

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

namespace {

constexpr wchar_t kFrameClass[] = L"ZentrikMainFrame";
constexpr DWORD kPollMs = 50;
// The Upgrade Firmware command.
constexpr int kUpgradeFirmware = 32775;

int Fail(const wchar_t* format, const std::wstring& what = {}) {
    std::fwprintf(stderr, L"window_driver: ");
    std::fwprintf(stderr, format, what.c_str());
    std::fwprintf(stderr, L"\n");
    return 1;
}

// A top-level window's caption, read without a message to its (busy) thread.
std::wstring CaptionOf(HWND window) {
    wchar_t text[256] = {};
    GetWindowTextW(window, text, static_cast<int>(std::size(text)));
    return text;
}

std::wstring TextOf(HWND window) {
    wchar_t text[1024] = {};
    // WM_GETTEXT, which the system carries between processes.
    SendMessageTimeoutW(window, WM_GETTEXT, std::size(text), reinterpret_cast<LPARAM>(text),
                        SMTO_ABORTIFHUNG, 5000, nullptr);
    return text;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, static_cast<int>(std::size(name)));
    return name;
}

DWORD ProcessOf(HWND window) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    return process;
}

// The program this driver started itself, when it did: its main window is the one looked at,
// never one of an earlier program that is still going away.
DWORD g_program = 0;

HWND Frame() {
    if (g_program == 0) {
        return FindWindowW(kFrameClass, nullptr);
    }
    HWND frame = nullptr;
    while ((frame = FindWindowExW(nullptr, frame, kFrameClass, nullptr)) != nullptr) {
        if (ProcessOf(frame) == g_program) {
            return frame;
        }
    }
    return nullptr;
}

HWND Descendant(HWND parent, int id);

// A file chooser's file name field, nullptr for any other dialog.
HWND FileNameField(HWND dialog) {
    HWND field = Descendant(dialog, 1148);
    return field != nullptr ? field : Descendant(dialog, 1152);
}

// A shown dialog of the program's process with the caption (any caption for an empty one);
// with boxOnly, not a file chooser.
HWND FindDialog(const std::wstring& caption, bool boxOnly = false) {
    struct Search {
        DWORD process;
        const std::wstring* caption;
        bool boxOnly;
        HWND found;
    } search{ProcessOf(Frame()), &caption, boxOnly, nullptr};
    if (search.process == 0) {
        return nullptr;
    }
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            if (IsWindowVisible(window) && ClassOf(window) == L"#32770" &&
                ProcessOf(window) == s->process &&
                (s->caption->empty() || CaptionOf(window) == *s->caption) &&
                !(s->boxOnly && FileNameField(window) != nullptr)) {
                s->found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The descendant of `parent` with the control id.
HWND Descendant(HWND parent, int id) {
    struct Search {
        int id;
        HWND found;
    } search{id, nullptr};
    EnumChildWindows(
        parent,
        [](HWND window, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            if (GetDlgCtrlID(window) == s->id) {
                s->found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

template <typename Found>
auto WaitFor(double seconds, Found found) {
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(seconds * 1000);
    for (;;) {
        auto result = found();
        if (result || GetTickCount64() >= end) {
            return result;
        }
        Sleep(kPollMs);
    }
}

// The texts of a dialog's static controls (a box's message), joined by " | ".
std::wstring StaticTexts(HWND dialog) {
    std::wstring texts;
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        if (ClassOf(child) == L"Static" && IsWindowVisible(child)) {
            const std::wstring text = TextOf(child);
            if (!text.empty()) {
                texts += (texts.empty() ? L"" : L" | ") + text;
            }
        }
    }
    return texts;
}

// A toolbar button's text: the toolbar writes it into memory of its own process.
bool ButtonText(HWND toolbar, int id, std::wstring& text) {
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE,
                                 ProcessOf(toolbar));
    if (process == nullptr) {
        return false;
    }
    constexpr SIZE_T kChars = 128;
    void* remote = VirtualAllocEx(process, nullptr, kChars * sizeof(wchar_t),
                                  MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    bool ok = false;
    if (remote != nullptr) {
        const LRESULT length = SendMessageW(toolbar, TB_GETBUTTONTEXTW, static_cast<WPARAM>(id),
                                            reinterpret_cast<LPARAM>(remote));
        wchar_t local[kChars] = {};
        if (length >= 0 && static_cast<SIZE_T>(length) < kChars &&
            ReadProcessMemory(process, remote, local, sizeof local, nullptr)) {
            text.assign(local, static_cast<std::size_t>(length));
            ok = true;
        }
        VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    }
    CloseHandle(process);
    return ok;
}

int Number(const wchar_t* text) {
    return static_cast<int>(std::wcstol(text, nullptr, 0));
}

double Seconds(const wchar_t* text) {
    return std::wcstod(text, nullptr);
}

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) * 1000.0 /
           static_cast<double>(frequency.QuadPart);
}

LARGE_INTEGER Now() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now;
}

// From the program's start until its window is shown and it waits for input, the first
// painting done (the window is painted before the message loop first waits).
int StartTime(const std::wstring& exe) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::wstring commandLine = L"\"" + exe + L"\"";
    const LARGE_INTEGER start = Now();
    if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process)) {
        return Fail(L"cannot start %ls", exe);
    }
    HWND frame = nullptr;
    const ULONGLONG end = GetTickCount64() + 60000;
    while (GetTickCount64() < end) {
        frame = Frame();
        if (frame != nullptr && IsWindowVisible(frame)) {
            break;
        }
        frame = nullptr;
        Sleep(1);
    }
    WaitForInputIdle(process.hProcess, 60000);
    const LARGE_INTEGER shown = Now();
    if (frame == nullptr) {
        TerminateProcess(process.hProcess, 1);
        return Fail(L"no window from %ls", exe);
    }
    std::wprintf(L"%.1f\n", Milliseconds(start, shown));
    PostMessageW(frame, WM_CLOSE, 0, 0);
    WaitForSingleObject(process.hProcess, 30000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return 0;
}

// "buttons: Abort Retry Ignore | icon | <texts>"
std::wstring DescribeBox(HWND box) {
    static const std::pair<int, const wchar_t*> kButtons[] = {
        {IDOK, L"OK"},         {IDCANCEL, L"Cancel"}, {IDABORT, L"Abort"}, {IDRETRY, L"Retry"},
        {IDIGNORE, L"Ignore"}, {IDYES, L"Yes"},       {IDNO, L"No"}};
    std::wstring text = L"buttons:";
    for (const auto& [id, name] : kButtons) {
        HWND button = GetDlgItem(box, id);
        if (button != nullptr && IsWindowVisible(button)) {
            text += L" ";
            text += name;
        }
    }
    for (HWND child = GetWindow(box, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        if (ClassOf(child) == L"Static" && IsWindowVisible(child) &&
            (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON &&
            SendMessageW(child, STM_GETICON, 0, 0) != 0) {
            text += L" | icon";
            break;
        }
    }
    return text + L" | " + StaticTexts(box);
}

// Whether the main window shows the whole form, or spans the work area where it does not.
int Fits(HWND frame) {
    RECT window{};
    GetWindowRect(frame, &window);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(frame, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& work = monitor.rcWork;
    HWND area = FindWindowExW(frame, nullptr, L"ZentrikFormArea", nullptr);
    if (area == nullptr) {
        return Fail(L"no form area");
    }
    // A form cut in a direction has the area's scroll bar for it (the style bit comes and goes
    // with the bar; the bar's own state cannot be read from another process).
    const LONG style = GetWindowLongW(area, GWL_STYLE);
    const auto direction = [&](LONG bar, LONG low, LONG high, LONG workLow, LONG workHigh) {
        if ((style & bar) == 0) {
            return L"whole";
        }
        return low <= workLow && high >= workHigh ? L"screen" : L"cut";
    };
    const bool inside = window.left >= work.left && window.top >= work.top &&
                        window.right <= work.right && window.bottom <= work.bottom;
    std::wprintf(L"across %ls, down %ls, %ls the work area (%ldx%ld of %ldx%ld)\n",
                 direction(WS_HSCROLL, window.left, window.right, work.left, work.right),
                 direction(WS_VSCROLL, window.top, window.bottom, work.top, work.bottom),
                 inside ? L"within" : L"beyond", window.right - window.left,
                 window.bottom - window.top, work.right - work.left, work.bottom - work.top);
    return 0;
}

FILETIME WrittenAt(const std::wstring& file) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!file.empty()) {
        GetFileAttributesExW(file.c_str(), GetFileExInfoStandard, &data);
    }
    return data.ftLastWriteTime;
}

// Waits `microseconds` on the performance counter (a sleep's granularity is a millisecond or
// more), then kills the program unless it has ended on its own: "killed", or "ended" with the
// microseconds it took. With a file to watch and more than 20 ms to wait, also "saved" with the
// microseconds until the file was written, and the wait ends a little after that.
int KillAfter(HANDLE process, LARGE_INTEGER from, double microseconds,
              const std::wstring& watched = {}) {
    const auto elapsed = [from] { return Milliseconds(from, Now()) * 1000.0; };
    const bool patient = microseconds > 20000;
    const FILETIME before = WrittenAt(watched);
    double saved = -1;
    while (elapsed() < microseconds && !(saved >= 0 && elapsed() > saved + 200000)) {
        if (patient && WaitForSingleObject(process, 0) == WAIT_OBJECT_0) {
            break;
        }
        if (const FILETIME now = WrittenAt(watched);
            patient && saved < 0 && CompareFileTime(&before, &now) != 0) {
            saved = elapsed();
        }
    }
    const double ended = WaitForSingleObject(process, 0) == WAIT_OBJECT_0 ? elapsed() : -1;
    if (ended < 0) {
        TerminateProcess(process, 9);
    }
    const bool gone = WaitForSingleObject(process, 30000) == WAIT_OBJECT_0;
    CloseHandle(process);
    if (!gone) {
        return Fail(L"the program did not end");
    }
    std::wprintf(ended < 0 ? L"killed" : L"ended %.0f", ended);
    std::wprintf(saved >= 0 ? L" saved %.0f\n" : L"\n", saved);
    return 0;
}

// Starts the program in its own folder and waits for its main window; nullptr when it did not
// come up.
HANDLE Launch(const std::wstring& exe, HWND& frame) {
    std::wstring folder = exe.substr(0, exe.find_last_of(L'\\') + 1);
    std::wstring commandLine = L"\"" + exe + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &process)) {
        return nullptr;
    }
    CloseHandle(process.hThread);
    g_program = process.dwProcessId;
    frame = WaitFor(60, [] {
        HWND found = Frame();
        return found != nullptr && IsWindowVisible(found) ? found : nullptr;
    });
    if (frame == nullptr) {
        TerminateProcess(process.hProcess, 1);
        CloseHandle(process.hProcess);
        return nullptr;
    }
    return process.hProcess;
}

int CloseKill(const std::wstring& exe, double microseconds, const std::wstring& watched) {
    HWND frame = nullptr;
    HANDLE process = Launch(exe, frame);
    if (process == nullptr) {
        return Fail(L"%ls did not come up", exe);
    }
    const LARGE_INTEGER from = Now();
    PostMessageW(frame, WM_CLOSE, 0, 0);
    return KillAfter(process, from, microseconds, watched);
}

int SaveKill(const std::wstring& exe, const std::wstring& file, double microseconds) {
    constexpr int kSaveConfigurationAs = 32782;
    HWND frame = nullptr;
    HANDLE process = Launch(exe, frame);
    if (process == nullptr) {
        return Fail(L"%ls did not come up", exe);
    }
    PostMessageW(frame, WM_COMMAND, MAKEWPARAM(kSaveConfigurationAs, 0), 0);
    HWND chooser = WaitFor(30, [] {
        HWND dialog = FindDialog(L"Save Configuration As");
        return FileNameField(dialog) != nullptr ? dialog : nullptr;
    });
    if (chooser != nullptr) {
        SendMessageW(FileNameField(chooser), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(file.c_str()));
        PostMessageW(chooser, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    }
    // The chooser asks before it replaces the file.
    HWND question = WaitFor(chooser != nullptr ? 30 : 0, [] {
        HWND box = FindDialog(L"", true);
        return GetDlgItem(box, IDYES) != nullptr ? box : nullptr;
    });
    if (question == nullptr) {
        CloseHandle(process);
        return Fail(L"no file chooser, or no question whether to replace the file");
    }
    const LARGE_INTEGER from = Now();
    PostMessageW(question, WM_COMMAND, MAKEWPARAM(IDYES, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(question, IDYES)));
    return KillAfter(process, from, microseconds, file);
}

int Upgrade(HWND frame, const std::wstring& file, double seconds) {
    const LARGE_INTEGER start = Now();
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(seconds * 1000);
    // Quick while the questions come; during the transfer only the OK button's visibility is
    // looked at, less often, so that the program's thread is not kept busy answering.
    constexpr DWORD kTightPollMs = 2;
    constexpr DWORD kTransferPollMs = 10;
    HWND progress = nullptr;
    PostMessageW(frame, WM_COMMAND, MAKEWPARAM(kUpgradeFirmware, 0), 0);
    LARGE_INTEGER transferStart{};
    bool fileChosen = false;
    while (GetTickCount64() < end) {
        if (progress == nullptr) {
            progress = FindDialog(L"Dialog");
            if (progress != nullptr) {
                transferStart = Now();
            }
        }
        if (progress != nullptr) {
            HWND ok = GetDlgItem(progress, IDOK);
            if (ok == nullptr || !IsWindowVisible(ok)) {
                Sleep(kTransferPollMs);
                continue;
            }
            const LARGE_INTEGER finished = Now();
            const std::wstring result = TextOf(GetDlgItem(progress, 1049));
            PostMessageW(progress, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                         reinterpret_cast<LPARAM>(ok));
            if (result.rfind(L"The update was successful!", 0) != 0) {
                return Fail(L"the upgrade failed: %ls", result);
            }
            std::wprintf(L"%.1f %.1f\n", Milliseconds(start, finished),
                         Milliseconds(transferStart, finished));
            WaitFor(10, [] { return FindDialog(L"Dialog") == nullptr; });
            return 0;
        }
        if (HWND chooser = FindDialog(L"Open"); chooser != nullptr && !fileChosen) {
            HWND name = GetDlgItem(chooser, 1148);
            if (name == nullptr) {
                name = GetDlgItem(chooser, 1152);
            }
            SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(file.c_str()));
            PostMessageW(chooser, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
            fileChosen = true;
        } else if (HWND box = FindDialog(L"");
                   box != nullptr && GetDlgItem(box, IDYES) != nullptr) {
            PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDYES, BN_CLICKED), 0);
            WaitFor(5, [box] { return !IsWindow(box) || !IsWindowVisible(box); });
        }
        Sleep(kTightPollMs);
    }
    return Fail(L"the upgrade did not finish");
}

int Run(const std::vector<std::wstring>& args) {
    const std::wstring& verb = args.empty() ? L"" : args[0];
    const auto arg = [&args](std::size_t i) { return i < args.size() ? args[i].c_str() : L""; };
    if (verb == L"frame-wait") {
        if (!WaitFor(Seconds(arg(1)),
                     [] { return Frame() != nullptr && IsWindowVisible(Frame()); })) {
            return Fail(L"the main window did not come up");
        }
        return 0;
    }
    if (verb == L"start-time") {
        return StartTime(arg(1));
    }
    if (verb == L"close-kill") {
        return CloseKill(arg(1), Seconds(arg(2)), arg(3));
    }
    if (verb == L"save-kill") {
        return SaveKill(arg(1), arg(2), Seconds(arg(3)));
    }
    HWND frame = Frame();
    if (frame == nullptr) {
        return Fail(L"no main window");
    }
    if (verb == L"upgrade") {
        return Upgrade(frame, arg(1), Seconds(arg(2)));
    }
    if (verb == L"button") {
        HWND toolbar = FindWindowExW(frame, nullptr, TOOLBARCLASSNAMEW, nullptr);
        std::wstring text;
        if (toolbar == nullptr || !ButtonText(toolbar, Number(arg(1)), text)) {
            return Fail(L"no toolbar button %ls", arg(1));
        }
        const bool enabled = SendMessageW(toolbar, TB_ISBUTTONENABLED, Number(arg(1)), 0) != 0;
        std::wprintf(L"%ls %d\n", text.c_str(), enabled ? 1 : 0);
        return 0;
    }
    if (verb == L"device-change") {
        // The port's broadcast: the header with the port's name at its end.
        constexpr wchar_t kName[] = L"COM5";
        alignas(DEV_BROADCAST_PORT_W)
            BYTE port[offsetof(DEV_BROADCAST_PORT_W, dbcp_name) + sizeof kName] = {};
        auto* header = reinterpret_cast<DEV_BROADCAST_PORT_W*>(port);
        header->dbcp_size = sizeof port;
        header->dbcp_devicetype = DBT_DEVTYP_PORT;
        std::memcpy(port + offsetof(DEV_BROADCAST_PORT_W, dbcp_name), kName, sizeof kName);
        const WPARAM event =
            std::wstring(arg(1)) == L"arrival" ? DBT_DEVICEARRIVAL : DBT_DEVICEREMOVECOMPLETE;
        if (!SendMessageTimeoutW(frame, WM_DEVICECHANGE, event, reinterpret_cast<LPARAM>(port),
                                 SMTO_ABORTIFHUNG, 30000, nullptr)) {
            return Fail(L"the device change was not handled");
        }
        return 0;
    }
    if (verb == L"command") {
        PostMessageW(frame, WM_COMMAND, MAKEWPARAM(Number(arg(1)), 0), 0);
        return 0;
    }
    if (verb == L"form-text") {
        HWND control = Descendant(frame, Number(arg(1)));
        if (control == nullptr) {
            return Fail(L"no form control %ls", arg(1));
        }
        std::wprintf(L"%ls\n", TextOf(control).c_str());
        return 0;
    }
    if (verb == L"dialog-wait") {
        HWND dialog = WaitFor(Seconds(arg(2)), [&] { return FindDialog(arg(1)); });
        if (dialog == nullptr) {
            return Fail(L"no dialog \"%ls\" came up", arg(1));
        }
        std::wprintf(L"%ls\n", StaticTexts(dialog).c_str());
        return 0;
    }
    if (verb == L"dialog-gone") {
        if (!WaitFor(Seconds(arg(2)), [&] { return FindDialog(arg(1)) == nullptr; })) {
            return Fail(L"the dialog \"%ls\" is still up", arg(1));
        }
        return 0;
    }
    if (verb == L"box-wait") {
        HWND box = WaitFor(Seconds(arg(2)), [&] { return FindDialog(arg(1), true); });
        if (box == nullptr) {
            return Fail(L"no box \"%ls\" came up", arg(1));
        }
        std::wprintf(L"%ls\n", DescribeBox(box).c_str());
        return 0;
    }
    if (verb == L"fits") {
        return Fits(frame);
    }
    if (verb == L"resize") {
        SetWindowPos(frame, nullptr, 0, 0, Number(arg(1)), Number(arg(2)),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    if (verb == L"close") {
        PostMessageW(frame, WM_CLOSE, 0, 0);
        if (!WaitFor(Seconds(arg(1)), [] { return Frame() == nullptr; })) {
            return Fail(L"the main window is still up");
        }
        return 0;
    }
    if (verb == L"yes-until") {
        const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(Seconds(arg(2)) * 1000);
        // A dialog is visible a moment before its caption is set (a file dialog shows up
        // untitled first), so another box counts only once it has stayed a while.
        HWND other = nullptr;
        ULONGLONG otherSince = 0;
        while (GetTickCount64() < end) {
            if (FindDialog(arg(1)) != nullptr) {
                return 0;
            }
            HWND box = FindDialog(L"");
            HWND yes = box != nullptr ? GetDlgItem(box, IDYES) : nullptr;
            if (yes != nullptr && IsWindowEnabled(box)) {
                std::wprintf(L"answered Yes: %ls: %ls\n", TextOf(box).c_str(),
                             StaticTexts(box).c_str());
                PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDYES, BN_CLICKED),
                             reinterpret_cast<LPARAM>(yes));
                WaitFor(5, [box] { return !IsWindow(box) || !IsWindowVisible(box); });
            } else if (box != nullptr && yes == nullptr && TextOf(box) != arg(1)) {
                if (box != other) {
                    other = box;
                    otherSince = GetTickCount64();
                } else if (GetTickCount64() - otherSince > 2000) {
                    return Fail(L"a box came instead: %ls", TextOf(box) + L": " + StaticTexts(box));
                }
            } else {
                other = nullptr;
            }
            Sleep(kPollMs);
        }
        return Fail(L"no dialog \"%ls\" came up", arg(1));
    }
    // The verbs on one control of a dialog that is up.
    HWND dialog = FindDialog(arg(1));
    if (dialog == nullptr) {
        return Fail(L"no dialog \"%ls\"", arg(1));
    }
    HWND control = GetDlgItem(dialog, Number(arg(2)));
    if (verb == L"shown-wait") {
        if (!WaitFor(Seconds(arg(3)),
                     [control] { return control != nullptr && IsWindowVisible(control); })) {
            return Fail(L"the control %ls never showed", arg(2));
        }
        return 0;
    }
    if (control == nullptr) {
        return Fail(L"no control %ls", arg(2));
    }
    if (verb == L"text") {
        std::wprintf(L"%ls\n", TextOf(control).c_str());
        return 0;
    }
    if (verb == L"set-text") {
        SendMessageW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(arg(3)));
        return 0;
    }
    if (verb == L"press") {
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(Number(arg(2)), BN_CLICKED),
                     reinterpret_cast<LPARAM>(control));
        return 0;
    }
    return Fail(L"unknown verb %ls", verb);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::vector<std::wstring> args(argv + 1, argv + argc);
    const int status = Run(args);
    std::fflush(stdout);
    return status;
}
