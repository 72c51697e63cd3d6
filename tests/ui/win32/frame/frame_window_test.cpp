// The main frame's bars and menus bound to FrameShell: what they show without a controller,
// the commands by id, the shortcuts, the banner and the status bar's room.
#include <windows.h>

#include <commctrl.h>

#include "config/file_store.h"
#include "frame_rig.h"
#include "shell/connection_status_texts.h"
#include "shell/shell_texts.h"
#include "ui/win32/quarnel_view.h"
#include "ui/win32/res/resource_ids.h"
#include "ui/win32/status_panes.h"
#include "ui/win32/wide_text.h"

namespace zentrik::test {
namespace {

namespace texts = shell_texts;
using win32::Wide;
using FrameWindow = FrameRig;

bool Grayed(UINT state) {
    return (state & MF_GRAYED) != 0;
}
bool Checked(UINT state) {
    return (state & MF_CHECKED) != 0;
}

TEST_F(FrameWindow, StartsDisconnectedWithTheLinkCommandsDisabledAndTheMenusComplete) {
    EXPECT_EQ(TextOf(Hwnd()), L"Halvorn Zentrik");
    EXPECT_EQ(ButtonText(texts::kIdConnection), L"Disconnected");
    EXPECT_EQ(ButtonText(texts::kIdUpload), L"Upload");
    EXPECT_EQ(ButtonText(texts::kIdDownload), L"Download");
    EXPECT_EQ(ButtonText(texts::kIdControllerInfo), L"Controller Info");
    for (const int id :
         {texts::kIdConnection, texts::kIdUpload, texts::kIdDownload, texts::kIdControllerInfo}) {
        EXPECT_FALSE(ButtonEnabled(id)) << id;
    }
    for (const int id : {texts::kIdUpload, texts::kIdDownload, texts::kIdControllerInfo,
                         texts::kIdUpgradeFirmware, texts::kIdCompare}) {
        EXPECT_TRUE(Grayed(MenuState(id))) << id;
    }
    for (const int id :
         {texts::kIdScan, texts::kIdAppAbout, texts::kIdAppExit, texts::kIdOpenConfiguration,
          texts::kIdSaveConfigurationAs, texts::kIdExportSetupSheet}) {
        EXPECT_FALSE(Grayed(MenuState(id))) << id;
    }

    HMENU menu = GetMenu(Hwnd());
    EXPECT_EQ(MenuCaptions(menu),
              (std::vector<std::wstring>{L"&File", L"&Edit", L"&View", L"&Controller", L"&Help"}));
    EXPECT_EQ(MenuCaptions(GetSubMenu(menu, 1)),
              (std::vector<std::wstring>{
                  L"&Undo\tCtrl+Z", L"&Redo\tCtrl+Y", L"-", L"&Scale Points...",
                  L"A&dd to Points...", L"&Interpolate Points", L"-",
                  L"Copy &Curve to the Other Stage", L"Copy &All Settings to the Other Stage"}));
    EXPECT_EQ(MenuCaptions(GetSubMenu(menu, 0)),
              (std::vector<std::wstring>{L"&Open Configuration...\tCtrl+O",
                                         L"&Save Configuration As...\tCtrl+Shift+S",
                                         L"&Export Setup Sheet...", L"-", L"E&xit"}));
    EXPECT_EQ(MenuCaptions(GetSubMenu(menu, 3)),
              (std::vector<std::wstring>{
                  L"&Upload Config To Controller", L"&Download Config From Controller",
                  L"Get Controller &Info", L"&Compare With Controller", L"&History...", L"-",
                  L"&Upgrade Firmware", L"Scan For Connection", L"&Port", L"Connection &Status...",
                  L"-", L"&Verify After Upload", L"&Back Up Before Upgrade"}));
    // The Port submenu is listed when it opens: Automatic first, chosen, as nothing else is.
    HMENU port = Frame().PortMenu();
    SendMessageW(Hwnd(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(port), 7);
    ASSERT_GE(GetMenuItemCount(port), 1);
    EXPECT_EQ(MenuCaptions(port).front(), L"&Automatic");
    EXPECT_TRUE(Checked(GetMenuState(port, 0, MF_BYPOSITION)));
    // Connection Status reaches its box through the menu's command.
    bool statusShown = false;
    WhenShown(L"Connection Status", [&statusShown](HWND box) {
        statusShown = true;
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    });
    SendMessageW(Hwnd(), WM_COMMAND, texts::kIdConnectionStatus, 0);
    EXPECT_TRUE(statusShown);
}

TEST_F(FrameWindow, CommandsByIdToggleTheBarsAndOptionsWithTheirCheckMarks) {
    HWND toolBar = Frame().ToolBar().Hwnd();
    ASSERT_TRUE(Checked(MenuState(texts::kIdViewToolBar)));
    SendMessageW(Hwnd(), WM_COMMAND, texts::kIdViewToolBar, 0);
    EXPECT_FALSE(Shown(toolBar));
    EXPECT_FALSE(Checked(MenuState(texts::kIdViewToolBar)));
    // The form moves up into the toolbar's place.
    RECT form{};
    GetWindowRect(Frame().View()->Hwnd(), &form);
    POINT top{form.left, form.top};
    ScreenToClient(Hwnd(), &top);
    EXPECT_EQ(top.y, 0);
    SendMessageW(Hwnd(), WM_COMMAND, texts::kIdViewToolBar, 0);
    EXPECT_TRUE(Shown(toolBar));
    EXPECT_TRUE(Checked(MenuState(texts::kIdViewToolBar)));

    SendMessageW(Hwnd(), WM_COMMAND, texts::kIdViewStatusBar, 0);
    EXPECT_FALSE(Shown(Frame().StatusPanes().Hwnd()));
    EXPECT_FALSE(Checked(MenuState(texts::kIdViewStatusBar)));

    ASSERT_FALSE(Checked(MenuState(texts::kIdVerifyUpload)));
    SendMessageW(Hwnd(), WM_COMMAND, texts::kIdVerifyUpload, 0);
    EXPECT_TRUE(Checked(MenuState(texts::kIdVerifyUpload)));
    EXPECT_TRUE(Shell().Settings().VerifyUpload);
    SendMessageW(Hwnd(), WM_COMMAND, texts::kIdBackupBeforeUpgrade, 0);
    EXPECT_TRUE(Checked(MenuState(texts::kIdBackupBeforeUpgrade)));

    // Ctrl+Shift+S and Ctrl+O reach their commands through the message loop's shortcuts.
    BYTE keys[256] = {};
    keys[VK_CONTROL] = keys[VK_LCONTROL] = 0x80;
    keys[VK_SHIFT] = keys[VK_LSHIFT] = 0x80;
    SetKeyboardState(keys);
    bool saveShown = false;
    WhenShown(Wide(texts::kSaveConfigurationTitle), [&saveShown](HWND dialog) {
        saveShown = true;
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    MSG key{Hwnd(), WM_KEYDOWN, 'S', 1, 0, {}};
    m_app->Dispatch(key);
    EXPECT_TRUE(saveShown);

    keys[VK_SHIFT] = keys[VK_LSHIFT] = 0;
    SetKeyboardState(keys);
    bool openShown = false;
    WhenShown(Wide(texts::kOpenConfigurationTitle), [&openShown](HWND dialog) {
        openShown = true;
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    key.wParam = 'O';
    m_app->Dispatch(key);
    EXPECT_TRUE(openShown);
    keys[VK_CONTROL] = keys[VK_LCONTROL] = 0;
    SetKeyboardState(keys);
}

TEST_F(FrameWindow, ExportSetupSheetWritesTheChosenPageSaysWhereAndOpensIt) {
    std::vector<std::wstring> opened;
    Frame().SetWebSiteOpener([&opened](const std::wstring& path) { opened.push_back(path); });
    const std::string folder = IniPath().substr(0, IniPath().find_last_of("\\/") + 1);
    const std::string path = folder + "sheet.html";
    WhenShown(Wide(texts::kExportSheetTitle), [&folder](HWND dialog) {
        HWND name = GetDlgItem(dialog, 1148);
        if (name == nullptr) {
            name = GetDlgItem(dialog, 1152);
        }
        const std::wstring typed = Wide(folder + "sheet");  // without ".html"
        SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(typed.c_str()));
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    });
    SendMessageW(Hwnd(), WM_COMMAND, texts::kIdExportSetupSheet, 0);
    EXPECT_EQ(Frame().StatusPanes().Status(), Wide("Setup sheet saved to " + path));
    EXPECT_EQ(opened, std::vector<std::wstring>{Wide(path)});
    std::string html;
    ASSERT_EQ(ReadFileBytes(path, html), FileReadStatus::Ok);
    EXPECT_NE(html.find("<h2>Stage 2</h2>"), std::string::npos);
}

TEST_F(FrameWindow, BannerCentresItsPictureAndStatisticsGiveWayWhenNarrow) {
    std::vector<std::wstring> opened;
    Frame().SetWebSiteOpener([&opened](const std::wstring& address) { opened.push_back(address); });
    HWND banner = Frame().BannerBar().Hwnd();
    HWND picture = GetDlgItem(banner, IDC_BANNER_PICTURE);
    ASSERT_NE(picture, nullptr);
    RECT pictureRect{};
    GetWindowRect(picture, &pictureRect);
    const int pictureWidth = pictureRect.right - pictureRect.left;

    const auto pictureLeft = [&] {
        RECT rect{};
        GetWindowRect(picture, &rect);
        MapWindowPoints(HWND_DESKTOP, banner, reinterpret_cast<POINT*>(&rect), 2);
        return rect.left;
    };
    const auto resize = [&](int width) {
        RECT window{};
        GetWindowRect(Hwnd(), &window);
        SetWindowPos(Hwnd(), nullptr, 0, 0, width, window.bottom - window.top,
                     SWP_NOMOVE | SWP_NOZORDER);
        UpdateWindow(Hwnd());
        RedrawWindow(Frame().StatusPanes().Hwnd(), nullptr, nullptr,
                     RDW_INVALIDATE | RDW_UPDATENOW);
    };

    resize(pictureWidth + 300);
    RECT bar{};
    GetClientRect(banner, &bar);
    EXPECT_EQ(pictureLeft(), (bar.right - pictureWidth) / 2);
    EXPECT_TRUE(Frame().StatusPanes().StatisticsShown());
    // Not connected, and wine lists no USB bridge.
    EXPECT_EQ(Frame().StatusPanes().Status(), L"No controller plugged in");
    EXPECT_EQ(Frame().StatusPanes().Statistics(),
              L"Queued:0  Sent:0  Good:0  CRC Errors:0  Timeouts:0");

    resize(100);
    EXPECT_EQ(pictureLeft(), 0);
    EXPECT_FALSE(Frame().StatusPanes().StatisticsShown());

    // The form keeps its size and scrolls: its right-hand controls come into view.
    HWND area = Frame().FormArea().Hwnd();
    SCROLLINFO across{sizeof across, SIF_ALL, 0, 0, 0, 0, 0};
    ASSERT_TRUE(GetScrollInfo(area, SB_HORZ, &across));
    EXPECT_GT(across.nMax + 1, static_cast<int>(across.nPage));
    SendMessageW(area, WM_HSCROLL, SB_BOTTOM, 0);
    RECT areaRect{};
    GetClientRect(area, &areaRect);
    RECT final{};
    GetWindowRect(GetDlgItem(Frame().View()->Hwnd(), IDC_FINAL_PERCENT), &final);
    MapWindowPoints(HWND_DESKTOP, area, reinterpret_cast<POINT*>(&final), 2);
    EXPECT_LE(final.right, areaRect.right);
    EXPECT_GT(Frame().FormArea().Offset().x, 0);

    // Tab onto a control out of sight scrolls it into view.
    SendMessageW(area, WM_HSCROLL, SB_TOP, 0);
    SendMessageW(area, WM_VSCROLL, SB_TOP, 0);
    HWND finalField = GetDlgItem(Frame().View()->Hwnd(), IDC_FINAL_PERCENT);
    SetFocus(GetNextDlgTabItem(Frame().View()->Hwnd(), finalField, TRUE));
    MSG tab{GetFocus(), WM_KEYDOWN, VK_TAB, 0, 0, {}};
    EXPECT_TRUE(Frame().PreTranslate(tab));
    ASSERT_EQ(GetFocus(), finalField);
    GetWindowRect(finalField, &final);
    MapWindowPoints(HWND_DESKTOP, area, reinterpret_cast<POINT*>(&final), 2);
    EXPECT_GE(final.left, 0);
    EXPECT_GE(final.top, 0);
    EXPECT_LT(final.left, areaRect.right);
    EXPECT_LT(final.top, areaRect.bottom);

    SendMessageW(banner, WM_COMMAND, MAKEWPARAM(IDC_BANNER_PICTURE, STN_CLICKED),
                 reinterpret_cast<LPARAM>(picture));
    EXPECT_EQ(opened, std::vector<std::wstring>{Wide(texts::kWebSiteAddress)});
}

}  // namespace
}  // namespace zentrik::test
