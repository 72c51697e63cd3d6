#include "ui/win32/numeric_edit.h"

#include <iterator>
#include <optional>

#include "ui/win32/wide_text.h"

namespace zentrik::win32 {

WNDPROC CNumericEdit::s_editProc = nullptr;

const NumericEditMessages& CNumericEdit::Messages() {
    static const NumericEditMessages messages{
        RegisterWindowMessageW(L"NEM_GETPOS-{C513E47E-D128-4513-8460-B6C944A49131}"),
        RegisterWindowMessageW(L"NEM_SETPOS-{D3BF042E-8E1E-403f-8644-CCCB8FDBD80C}"),
        RegisterWindowMessageW(L"NEM_GETRANGE-{5474EEB4-6BDC-4a5d-9CCE-7FC29F2BA06E}"),
        RegisterWindowMessageW(L"NEM_SETRANGE-{D837739D-9588-4747-AB2C-12BBFEF57138}"),
        RegisterWindowMessageW(L"NEM_GETREADONLY-{7399E120-E305-48e0-9CF3-755483B79F87}"),
        RegisterWindowMessageW(L"NEM_SETREADONLY-{12B8313F-44D6-4680-A208-19B61186BEC9}"),
        RegisterWindowMessageW(L"NEN_CHANGED-{CD9B6FDC-F420-4956-91B0-AB882EC15A89}"),
    };
    return messages;
}

bool CNumericEdit::Register(HINSTANCE instance) {
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExW(instance, kClassName, &existing)) {
        return existing.lpfnWndProc == WindowProc;
    }
    WNDCLASSEXW edit{};
    edit.cbSize = sizeof edit;
    if (!GetClassInfoExW(nullptr, L"EDIT", &edit)) {
        return false;
    }
    s_editProc = edit.lpfnWndProc;
    // The same class as EDIT under our name; global, so that a template of any module finds it.
    WNDCLASSEXW ours = edit;
    ours.lpfnWndProc = WindowProc;
    ours.hInstance = instance;
    ours.lpszClassName = kClassName;
    ours.style |= CS_GLOBALCLASS;
    Messages();
    return RegisterClassExW(&ours) != 0;
}

bool CNumericEdit::IsTyping(HWND hwnd) {
    wchar_t name[64] = {};
    if (hwnd == nullptr || GetClassNameW(hwnd, name, static_cast<int>(std::size(name))) == 0 ||
        CompareStringOrdinal(name, -1, kClassName, -1, TRUE) != CSTR_EQUAL) {
        return false;
    }
    return SendMessageW(hwnd, EM_GETMODIFY, 0, 0) != 0;
}

LRESULT CALLBACK CNumericEdit::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<CNumericEdit*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (message == WM_NCCREATE) {
        self = new CNumericEdit(hwnd);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        // Templates name only the class and WS_TABSTOP: the number stands right-aligned in
        // a sunken box and scrolls when it is longer than the box.
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        create->style |= ES_AUTOHSCROLL | ES_RIGHT;
        create->dwExStyle |= WS_EX_CLIENTEDGE;
        SetWindowLongPtrW(hwnd, GWL_STYLE, static_cast<LONG_PTR>(create->style));
        SetWindowLongPtrW(hwnd, GWL_EXSTYLE, static_cast<LONG_PTR>(create->dwExStyle));
    }
    if (self == nullptr) {
        return CallWindowProcW(s_editProc, hwnd, message, wParam, lParam);
    }
    const LRESULT result = self->OnMessage(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        delete self;
    }
    return result;
}

LRESULT CNumericEdit::Default(UINT message, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcW(s_editProc, m_hwnd, message, wParam, lParam);
}

LRESULT CNumericEdit::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case kAttachField:
            m_field = reinterpret_cast<const NumericField*>(lParam);
            ShowField();
            return 0;
        case kShowField:
            ShowField();
            return 0;
        case kCommitTyped:
            return CommitTyped() ? TRUE : FALSE;
        case WM_GETDLGCODE:
            return DialogCode(wParam, lParam);
        case WM_KEYDOWN:
            if (OnKeyDown(wParam)) {
                return 0;
            }
            break;
        case WM_CHAR:
            // Enter and Escape were taken as keys; the edit would only beep at them.
            if (wParam == VK_RETURN || wParam == L'\n' || wParam == VK_ESCAPE) {
                return 0;
            }
            break;
        case WM_SETFOCUS: {
            const LRESULT result = Default(message, wParam, lParam);
            if (!Typing()) {
                ShowField();
            }
            return result;
        }
        case WM_KILLFOCUS: {
            const LRESULT result = Default(message, wParam, lParam);
            CommitTyped();
            ShowField();
            return result;
        }
        case WM_MOUSEWHEEL:
            // Only a field the user works in takes the wheel; over the others it goes on to the
            // parent, as an edit's wheel does.
            if (GetFocus() == m_hwnd && !ReadOnly()) {
                Step(m_wheel.Take(GET_WHEEL_DELTA_WPARAM(wParam)));
                return 0;
            }
            break;
        default:
            if (message >= 0xC000) {  // the registered messages' range
                bool handled = false;
                const LRESULT result = OnRegisteredMessage(message, wParam, lParam, handled);
                if (handled) {
                    return result;
                }
            }
            break;
    }
    return Default(message, wParam, lParam);
}

LRESULT CNumericEdit::OnRegisteredMessage(UINT message, WPARAM wParam, LPARAM lParam,
                                          bool& handled) {
    const NumericEditMessages& m = Messages();
    handled = true;
    if (message == m.getPos) {
        auto* value = reinterpret_cast<double*>(lParam);
        if (m_field == nullptr || value == nullptr) {
            return FALSE;
        }
        *value = m_field->Value();
        return TRUE;
    }
    if (message == m.setPos) {
        const auto* value = reinterpret_cast<const double*>(lParam);
        if (m_field == nullptr || value == nullptr) {
            return FALSE;
        }
        Report(*value);
        return TRUE;
    }
    if (message == m.getRange) {
        auto* minimum = reinterpret_cast<double*>(wParam);
        auto* maximum = reinterpret_cast<double*>(lParam);
        if (m_field == nullptr || minimum == nullptr || maximum == nullptr) {
            return FALSE;
        }
        *minimum = m_field->Minimum();
        *maximum = m_field->Maximum();
        return TRUE;
    }
    if (message == m.setRange) {
        return FALSE;
    }
    if (message == m.getReadOnly) {
        return ReadOnly() ? TRUE : FALSE;
    }
    if (message == m.setReadOnly) {
        return Default(EM_SETREADONLY, wParam, 0);
    }
    handled = false;
    return 0;
}

UINT CNumericEdit::DialogCode(WPARAM wParam, LPARAM lParam) {
    UINT code = static_cast<UINT>(Default(WM_GETDLGCODE, wParam, lParam)) | DLGC_WANTARROWS;
    // Enter confirms typed text and Escape takes it back, rather than reaching the dialog.
    const auto* msg = reinterpret_cast<const MSG*>(lParam);
    if (msg != nullptr && (msg->message == WM_KEYDOWN || msg->message == WM_CHAR)) {
        if (msg->wParam == VK_RETURN || (msg->wParam == VK_ESCAPE && Typing())) {
            code |= DLGC_WANTMESSAGE;
        }
    }
    return code;
}

bool CNumericEdit::OnKeyDown(WPARAM key) {
    switch (key) {
        case VK_UP:
            Step(NumericField::StepsFor(FieldKey::Up));
            return true;
        case VK_DOWN:
            Step(NumericField::StepsFor(FieldKey::Down));
            return true;
        case VK_PRIOR:
            Step(NumericField::StepsFor(FieldKey::PageUp));
            return true;
        case VK_NEXT:
            Step(NumericField::StepsFor(FieldKey::PageDown));
            return true;
        case VK_RETURN:
            CommitTyped();
            return true;
        case VK_ESCAPE:
            if (Typing()) {
                ShowField();
                return true;
            }
            return false;
        default:
            return false;
    }
}

bool CNumericEdit::Typing() const {
    // The edit's own modified flag: set by what the user types, cleared whenever the field is
    // shown again.
    return SendMessageW(m_hwnd, EM_GETMODIFY, 0, 0) != 0;
}

bool CNumericEdit::ReadOnly() const {
    return (GetWindowLongPtrW(m_hwnd, GWL_STYLE) & ES_READONLY) != 0;
}

std::wstring CNumericEdit::Text() const {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(m_hwnd)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(m_hwnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

void CNumericEdit::ShowField() {
    if (m_field == nullptr) {
        return;
    }
    const bool editing = GetFocus() == m_hwnd;
    SetWindowTextW(m_hwnd, Wide(m_field->Text(!editing)).c_str());
    Default(EM_SETMODIFY, FALSE, 0);
    if (editing) {
        Default(EM_SETSEL, 0, -1);
    }
}

bool CNumericEdit::CommitTyped() {
    if (m_field == nullptr || !Typing()) {
        return false;
    }
    const std::optional<double> value = NumericField::Parse(Utf8(Text()));
    // Taken once: whatever the owner does with the value, the text is no longer the user's.
    Default(EM_SETMODIFY, FALSE, 0);
    if (value) {
        Report(*value);
    }
    ShowField();
    return true;
}

void CNumericEdit::Step(int steps) {
    if (m_field == nullptr || steps == 0 || ReadOnly()) {
        return;
    }
    CommitTyped();
    Report(m_field->Stepped(steps));
    ShowField();
}

void CNumericEdit::Report(double value) {
    // Within the range last set, as the owner expects of the control.
    double reported = m_field->Clamp(value);
    SendMessageW(GetParent(m_hwnd), Messages().changed, static_cast<WPARAM>(GetDlgCtrlID(m_hwnd)),
                 reinterpret_cast<LPARAM>(&reported));
}

}  // namespace zentrik::win32
