// The templates made into real windows (under the tests' private X display): every class a
// template names must exist, the pictures must find their bitmaps, and the controls must land
// where their dialog units say. Run through scripts/xvfb_display.sh, never without a display.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <string>

namespace zentrik::test {
namespace {

INT_PTR CALLBACK QuietDialog(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

std::wstring WindowText(HWND window) {
    wchar_t text[256] = {};
    GetWindowTextW(window, text, static_cast<int>(std::size(text)));
    return text;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, static_cast<int>(std::size(name)));
    return name;
}

// Shown by its own style: the host stays hidden, since under Xvfb, which has no window
// manager, every shown top-level window cost two seconds more here.
bool Shown(HWND control) {
    return GetWindowLongW(control, GWL_STYLE) & WS_VISIBLE;
}

// The rectangle of `control` in its dialog's client coordinates.
RECT PlaceInDialog(HWND dialog, HWND control) {
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(HWND_DESKTOP, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

RECT DialogUnits(HWND dialog, int x, int y, int cx, int cy) {
    RECT rect{x, y, x + cx, y + cy};
    MapDialogRect(dialog, &rect);
    return rect;
}

void ExpectSameRect(const RECT& actual, const RECT& expected) {
    EXPECT_EQ(actual.left, expected.left);
    EXPECT_EQ(actual.top, expected.top);
    EXPECT_EQ(actual.right, expected.right);
    EXPECT_EQ(actual.bottom, expected.bottom);
}

SIZE BitmapSize(HWND picture) {
    auto bitmap = reinterpret_cast<HBITMAP>(SendMessageW(picture, STM_GETIMAGE, IMAGE_BITMAP, 0));
    BITMAP info{};
    if (bitmap == nullptr || GetObjectW(bitmap, sizeof info, &info) == 0) {
        return {0, 0};
    }
    return {info.bmWidth, info.bmHeight};
}

class DialogWindows : public ::testing::Test {
  protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS};
        ASSERT_TRUE(InitCommonControlsEx(&controls));
        // The form's numeric fields belong to the window; here a plain window stands in.
        WNDCLASSW numericEdit{};
        numericEdit.lpfnWndProc = DefWindowProcW;
        numericEdit.hInstance = m_module;
        numericEdit.lpszClassName = L"MFCNumericEditCtrl";
        ASSERT_NE(RegisterClassW(&numericEdit), 0);
        m_host = CreateWindowExW(0, L"Static", L"host", WS_OVERLAPPEDWINDOW, 0, 0, 900, 900,
                                 nullptr, nullptr, m_module, nullptr);
        ASSERT_NE(m_host, nullptr) << "no window: is DISPLAY set?";
    }

    void TearDown() override {
        if (m_host != nullptr) {
            DestroyWindow(m_host);
        }
        UnregisterClassW(L"MFCNumericEditCtrl", m_module);
    }

    HWND Create(int id) {
        HWND dialog = CreateDialogParamW(m_module, MAKEINTRESOURCEW(id), m_host, QuietDialog, 0);
        EXPECT_NE(dialog, nullptr) << "dialog " << id << ": error " << GetLastError();
        return dialog;
    }

    HINSTANCE m_module = GetModuleHandleW(nullptr);
    HWND m_host = nullptr;
};

TEST_F(DialogWindows, FormComesUpAsAChildWithItsControls) {
    HWND form = Create(130);
    ASSERT_NE(form, nullptr);
    ShowWindow(form, SW_SHOW);
    EXPECT_EQ(GetParent(form), m_host);

    ExpectSameRect(PlaceInDialog(m_host, form), DialogUnits(form, 0, 0, 354, 304));
    EXPECT_EQ(WindowText(GetDlgItem(form, 1069)), L"Reset to Straight Line");
    EXPECT_EQ(WindowText(GetDlgItem(form, 1060)), L"Time");
    EXPECT_EQ(CompareStringOrdinal(ClassOf(GetDlgItem(form, 1003)).c_str(), -1,
                                   L"MFCNumericEditCtrl", -1, TRUE),
              CSTR_EQUAL);
    EXPECT_EQ(ClassOf(GetDlgItem(form, 1001)), L"ComboBox");
    ExpectSameRect(PlaceInDialog(form, GetDlgItem(form, 1057)),
                   DialogUnits(form, 25, 183, 315, 99));
    ExpectSameRect(PlaceInDialog(form, GetDlgItem(form, 1011)),
                   DialogUnits(form, 281, 148, 56, 15));
    // Shown with the form, except what starts hidden.
    EXPECT_TRUE(Shown(GetDlgItem(form, 1070)));
    EXPECT_FALSE(Shown(GetDlgItem(form, 1068)));
    EXPECT_FALSE(Shown(GetDlgItem(form, 1071)));

    EXPECT_TRUE(DestroyWindow(form));
    EXPECT_FALSE(IsWindow(form));
}

TEST_F(DialogWindows, PicturesShowTheirBitmapsAndTheProgressBarExists) {
    HWND about = Create(100);
    ASSERT_NE(about, nullptr);
    const SIZE aboutPicture = BitmapSize(GetDlgItem(about, 1024));
    EXPECT_EQ(aboutPicture.cx, 600);
    EXPECT_EQ(aboutPicture.cy, 634);
    EXPECT_EQ(WindowText(about), L"About Halvorn Zentrik");
    DestroyWindow(about);

    HWND banner = Create(138);
    ASSERT_NE(banner, nullptr);
    const SIZE bannerPicture = BitmapSize(GetDlgItem(banner, 1037));
    EXPECT_EQ(bannerPicture.cx, 520);
    EXPECT_EQ(bannerPicture.cy, 71);
    DestroyWindow(banner);

    HWND progress = Create(147);
    ASSERT_NE(progress, nullptr);
    EXPECT_EQ(ClassOf(GetDlgItem(progress, 1048)), PROGRESS_CLASSW);
    DestroyWindow(progress);

    HWND notice = Create(143);
    ASSERT_NE(notice, nullptr);
    EXPECT_EQ(WindowText(GetDlgItem(notice, 1040)), L"Info here");
    DestroyWindow(notice);
}

}  // namespace
}  // namespace zentrik::test
