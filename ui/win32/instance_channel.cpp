#include "ui/win32/instance_channel.h"

#include "ui/win32/wide_text.h"

namespace {

using Channel = zentrik::InstanceChannel;

constexpr wchar_t kListenerClass[] = L"ZentrikHandOver";
// WM_COPYDATA's tag for a later start's message ("ZHO1"), and the holder's answer to it.
constexpr ULONG_PTR kHandOverTag = 0x5A484F31;
constexpr LRESULT kConfirmed = 0x5A4F4B;  // "ZOK"
constexpr UINT kRunMessage = WM_APP + 1;
// The holder answers from its message loop, which its start-up may keep a while.
constexpr UINT kAnswerMs = 10000;

std::wstring MutexName(const std::string& name) {
    return L"Local\\" + zentrik::win32::Wide(name);
}

}  // namespace

Win32InstanceChannel::~Win32InstanceChannel() {
    if (m_listener != nullptr) {
        DestroyWindow(m_listener);
    }
    if (m_mutex != nullptr) {
        ReleaseMutex(m_mutex);
        CloseHandle(m_mutex);
    }
}

Channel::Claim Win32InstanceChannel::TryClaim(const std::string& name,
                                              zentrik::SingleInstance& receiver) {
    const HANDLE mutex = CreateMutexW(nullptr, FALSE, MutexName(name).c_str());
    if (mutex == nullptr) {
        return Claim::Unavailable;
    }
    const DWORD waited = WaitForSingleObject(mutex, 0);
    if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) {
        CloseHandle(mutex);
        return waited == WAIT_TIMEOUT ? Claim::Held : Claim::Unavailable;
    }
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = m_instance;
    windowClass.lpszClassName = kListenerClass;
    RegisterClassExW(&windowClass);  // fails harmlessly when it is registered already
    m_receiver = &receiver;
    m_listener = CreateWindowExW(0, kListenerClass, zentrik::win32::Wide(name).c_str(), 0, 0, 0, 0,
                                 0, HWND_MESSAGE, nullptr, m_instance, this);
    if (m_listener == nullptr) {
        // A later start then runs a window of its own, as before.
        m_receiver = nullptr;
        ReleaseMutex(mutex);
        CloseHandle(mutex);
        return Claim::Unavailable;
    }
    m_mutex = mutex;
    return Claim::Ours;
}

Channel::Sent Win32InstanceChannel::Send(const std::string& name, std::string_view message) {
    const HWND listener =
        FindWindowExW(HWND_MESSAGE, nullptr, kListenerClass, zentrik::win32::Wide(name).c_str());
    if (listener == nullptr) {
        return Sent::NotListening;
    }
    // This start was the user's doing: the running window may take the foreground from it.
    DWORD process = 0;
    GetWindowThreadProcessId(listener, &process);
    AllowSetForegroundWindow(process);
    COPYDATASTRUCT data{};
    data.dwData = kHandOverTag;
    data.cbData = static_cast<DWORD>(message.size());
    data.lpData = const_cast<char*>(message.data());
    DWORD_PTR answer = 0;
    if (SendMessageTimeoutW(listener, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data),
                            SMTO_NORMAL | SMTO_ABORTIFHUNG, kAnswerMs, &answer) == 0) {
        // The window went away meanwhile, or does not answer.
        return IsWindow(listener) ? Sent::NoAnswer : Sent::NotListening;
    }
    return static_cast<LRESULT>(answer) == kConfirmed ? Sent::Delivered : Sent::NoAnswer;
}

void Win32InstanceChannel::Pause() {
    Sleep(100);
}

void Win32InstanceChannel::PostRun() {
    PostMessageW(m_listener, kRunMessage, 0, 0);
}

LRESULT CALLBACK Win32InstanceChannel::WindowProc(HWND hwnd, UINT message, WPARAM wParam,
                                                  LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<Win32InstanceChannel*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self != nullptr && self->m_receiver != nullptr) {
        return self->Handle(hwnd, message, wParam, lParam);
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT Win32InstanceChannel::Handle(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COPYDATA: {
            const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
            if (data == nullptr || data->dwData != kHandOverTag ||
                data->cbData > zentrik::kMaxHandOverBytes ||
                (data->cbData > 0 && data->lpData == nullptr)) {
                return FALSE;
            }
            const std::string_view text(static_cast<const char*>(data->lpData), data->cbData);
            if (!m_receiver->Receive(text)) {
                return FALSE;
            }
            BringToFront();
            return kConfirmed;
        }
        case kRunMessage:
            m_receiver->Run();
            return 0;
        default:
            return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

void Win32InstanceChannel::BringToFront() {
    if (m_window == nullptr || !IsWindow(m_window)) {
        return;
    }
    if (IsIconic(m_window)) {
        ShowWindow(m_window, SW_RESTORE);
    }
    // The box the window has up, when it has one, else the window itself.
    SetForegroundWindow(GetLastActivePopup(m_window));
}
