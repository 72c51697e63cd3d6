// The frame's boxes and dialogs bound to FrameShell and its state classes: the notice's
// countdown through timer 108, the progress dialog's closing, the comparison and the About
// box, and the window's close while one of them is up.
#include <windows.h>

#include <commctrl.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "frame_rig.h"
#include "shell/about_text.h"
#include "shell/history_texts.h"
#include "shell/shell_texts.h"
#include "ui/win32/choice_box.h"
#include "ui/win32/compare_dlg.h"
#include "ui/win32/history_dlg.h"
#include "ui/win32/notice_dlg.h"
#include "ui/win32/res/resource_ids.h"
#include "ui/win32/wide_text.h"

namespace zentrik::test {
namespace {

namespace texts = shell_texts;
using win32::Wide;
using FrameDialogs = FrameRig;

std::string FileText(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

class CountingSource : public FirmwareUnitSource {
  public:
    void SendNextFirmwareUnit() override { ++calls; }
    int calls = 0;
};

TEST_F(FrameDialogs, NoticeCountsDownOnTimer108AndClosesItselfOrOnOk) {
    int ticksWhileOpen = 0;
    WhenShown(Wide(texts::kDownloadedTitle), [&](HWND notice) {
        EXPECT_EQ(TextOf(GetDlgItem(notice, IDC_NOTICE_MESSAGE)), Wide(texts::kDownloadedText));
        EXPECT_EQ(TextOf(GetDlgItem(notice, IDOK)), L"OK [15 sec]");
        for (int tick = 0; tick < 14; ++tick) {
            SendMessageW(notice, WM_TIMER, CNoticeDlg::kTimerId, 0);
            ticksWhileOpen += IsWindowVisible(notice) ? 1 : 0;
        }
        EXPECT_EQ(TextOf(GetDlgItem(notice, IDOK)), L"OK [1 sec]");
        SendMessageW(notice, WM_TIMER, CNoticeDlg::kTimerId, 0);
    });
    Shell().ShowNotice(NoticeKind::Downloaded);
    EXPECT_EQ(ticksWhileOpen, 14);
    EXPECT_EQ(FindDialog(Wide(texts::kDownloadedTitle)), nullptr);

    // Another timer's tick counts nothing; OK closes it at once.
    std::wstring afterOtherTimer;
    WhenShown(Wide(texts::kUploadedTitle), [&](HWND notice) {
        SendMessageW(notice, WM_TIMER, CNoticeDlg::kTimerId + 1, 0);
        afterOtherTimer = TextOf(GetDlgItem(notice, IDOK));
        SendMessageW(notice, WM_COMMAND, IDOK, 0);
    });
    Shell().ShowNotice(NoticeKind::Uploaded);
    EXPECT_EQ(afterOtherTimer, L"OK [15 sec]");
}

TEST_F(FrameDialogs, ProgressDialogClosesOnlyWithOkAfterTheResultAndTheCloseWaitsForIt) {
    CountingSource source;
    const HWND frame = Hwnd();
    bool closedAfterOk = false;
    WhenShown(Wide(texts::kProgressCaption), [&](HWND dialog) {
        HWND bar = GetDlgItem(dialog, IDC_PROGRESS_BAR);
        HWND ok = GetDlgItem(dialog, IDOK);
        HWND text = GetDlgItem(dialog, IDC_PROGRESS_TEXT);
        EXPECT_EQ(source.calls, 1);  // the transfer started once the dialog was up
        PBRANGE range{};
        SendMessageW(bar, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
        EXPECT_EQ(range.iLow, 0);
        EXPECT_EQ(range.iHigh, 70000 & 0xFFFF);  // the bound travels as 16 bits
        EXPECT_EQ(TextOf(text), Wide(texts::kProgressBeginning));
        EXPECT_TRUE(Shown(bar));
        EXPECT_FALSE(Shown(ok));

        // Nothing closes it during the transfer, and the window's close waits.
        SendMessageW(dialog, WM_COMMAND, IDOK, 0);
        SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        SendMessageW(dialog, WM_CLOSE, 0, 0);
        SendMessageW(frame, WM_CLOSE, 0, 0);
        EXPECT_TRUE(IsWindowVisible(dialog));
        EXPECT_TRUE(IsWindow(frame));

        // A packet's step may wait for the next repaint; the checksum step is shown at once,
        // with the bar where the last packet left it.
        Shell().ShowStep(123);
        Shell().ShowStep(-1);
        EXPECT_EQ(TextOf(text), Wide(texts::kProgressChecking));
        EXPECT_EQ(SendMessageW(bar, PBM_GETPOS, 0, 0), 123);

        Shell().FinishWithText("The controller did not respond.");
        EXPECT_EQ(TextOf(text), L"The controller did not respond.");
        EXPECT_FALSE(Shown(bar));
        EXPECT_TRUE(Shown(ok));
        SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        EXPECT_TRUE(IsWindowVisible(dialog));
        SendMessageW(dialog, WM_COMMAND, IDOK, 0);
        closedAfterOk = true;
    });
    Shell().RunUpgrade(70000, source);
    EXPECT_TRUE(closedAfterOk);
    EXPECT_EQ(FindDialog(Wide(texts::kProgressCaption)), nullptr);

    // The close held back during the transfer happens now.
    ASSERT_TRUE(IsWindow(frame));
    RunUntilClosed();
    EXPECT_FALSE(IsWindow(frame));
    EXPECT_NE(FileText(IniPath()).find("[Zentrik Config]"), std::string::npos);
}

TEST_F(FrameDialogs, ComparisonListsTheDifferencesAndAnswersByItsButtons) {
    const std::vector<ConfigDifference> rows = {
        {"Stage 1 RPM Cutoff", "6000", "6500"},
        {"Stage 2 MAP Trigger", "10.0 psi", "12.5 psi"},
    };
    for (const auto& [button, choice] :
         {std::pair{CCompareDlg::kUseControllersId, CompareChoice::UseControllers},
          std::pair{CCompareDlg::kUploadThisId, CompareChoice::UploadThis},
          std::pair{IDCANCEL, CompareChoice::Close}}) {
        WhenShown(Wide(texts::kCompareCaption), [&, button = button](HWND dialog) {
            HWND list = GetDlgItem(dialog, CCompareDlg::kListId);
            EXPECT_EQ(ListView_GetItemCount(list), 2);
            wchar_t cell[64] = {};
            ListView_GetItemText(list, 1, 2, cell, static_cast<int>(std::size(cell)));
            EXPECT_EQ(std::wstring(cell), L"12.5 psi");
            HWND header = ListView_GetHeader(list);
            EXPECT_EQ(Header_GetItemCount(header), 3);
            EXPECT_EQ(TextOf(GetDlgItem(dialog, CCompareDlg::kUseControllersId)),
                      Wide(texts::kUseControllersButton));
            EXPECT_EQ(TextOf(GetDlgItem(dialog, CCompareDlg::kUploadThisId)),
                      Wide(texts::kUploadThisButton));
            EXPECT_EQ(TextOf(GetDlgItem(dialog, IDCANCEL)), Wide(texts::kCloseButton));
            EXPECT_TRUE(ListView_GetCheckState(list, 0) && ListView_GetCheckState(list, 1));
            ListView_SetCheckState(list, 0, FALSE);
            SendMessageW(dialog, WM_COMMAND, button, 0);
        });
        std::vector<bool> ticked(rows.size(), true);
        EXPECT_EQ(Frame().RunCompare(rows, &ticked), choice);
        // The ticks as the button found them.
        EXPECT_EQ(ticked, (std::vector<bool>{choice == CompareChoice::Close, true}));
    }
}

TEST_F(FrameDialogs, HistoryOpensOrComparesOnlyTheSelectedEntry) {
    HistoryList list({{"a.zcfg", "2026-12-09 12:00:01", HistoryEvent::Upload, ""},
                      {"b.zcfg", "2026-12-09 12:00:00", HistoryEvent::Backup, "030A"}},
                     ConfigDocument{});
    WhenShown(Wide(history_texts::kHistoryCaption), [&](HWND dialog) {
        HWND list = GetDlgItem(dialog, CHistoryDlg::kListId);
        HWND compare = GetDlgItem(dialog, CHistoryDlg::kCompareId);
        EXPECT_EQ(ListView_GetNextItem(list, -1, LVNI_SELECTED), 0);
        ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
        EXPECT_FALSE(IsWindowEnabled(compare));
        ListView_SetItemState(list, 1, LVIS_SELECTED, LVIS_SELECTED);
        EXPECT_TRUE(IsWindowEnabled(compare));
        SendMessageW(dialog, WM_COMMAND, CHistoryDlg::kCompareId, 0);
    });
    EXPECT_EQ(Frame().RunHistory(list), HistoryChoice::Compare);
    EXPECT_EQ(list.SelectedEntry()->path, "b.zcfg");
}

TEST_F(FrameDialogs, ABoxOfTheFramesOwnButtonsListsItsItemsAndAnswersByThem) {
    BoxRequest request;
    request.text = "Nothing was sent.";
    request.caption = "Check Before Upload";
    request.icon = MessageIcon::Exclamation;
    request.acceptButton = "&Correct and Upload";
    request.cancelButton = "Cancel";
    request.items = {"Input #2 is 7; it must be one of its list's entries.",
                     "Stage 1 Percent 3 is 250%; it must be 0 to 100%."};
    for (const auto& [button, answer] :
         {std::pair{int{win32::CChoiceBox::kAcceptId}, std::optional{MessageAnswer::Ok}},
          std::pair{IDCANCEL, std::optional{MessageAnswer::Cancel}},
          std::pair{0, std::optional<MessageAnswer>{}}}) {
        WhenShown(L"Check Before Upload", [&, button = button](HWND box) {
            EXPECT_EQ(TextOf(GetDlgItem(box, win32::CChoiceBox::kTextId)), L"Nothing was sent.");
            HWND list = GetDlgItem(box, win32::CChoiceBox::kItemsId);
            EXPECT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 2);
            wchar_t line[80] = {};
            SendMessageW(list, LB_GETTEXT, 1, reinterpret_cast<LPARAM>(line));
            EXPECT_EQ(std::wstring(line), L"Stage 1 Percent 3 is 250%; it must be 0 to 100%.");
            HWND accept = GetDlgItem(box, win32::CChoiceBox::kAcceptId);
            HWND cancel = GetDlgItem(box, IDCANCEL);
            EXPECT_EQ(TextOf(accept), L"&Correct and Upload");
            EXPECT_EQ(TextOf(cancel), L"Cancel");
            EXPECT_EQ(LOWORD(SendMessageW(box, DM_GETDEFID, 0, 0)), IDCANCEL);
            // Side by side, in the order asked, and wide enough for their texts.
            RECT a{}, c{};
            GetWindowRect(accept, &a);
            GetWindowRect(cancel, &c);
            EXPECT_LT(a.right, c.left);
            EXPECT_EQ(a.top, c.top);
            if (button == 0) {
                EndDialog(box, 0);  // the window's close
            } else {
                SendMessageW(box, WM_COMMAND, static_cast<WPARAM>(button), 0);
            }
        });
        EXPECT_EQ(Frame().ShowBox(request), answer);
    }
}

TEST_F(FrameDialogs, AboutBoxIsWhiteOnBlackAndItsPictureOpensTheWebSite) {
    std::vector<std::wstring> opened;
    Frame().SetWebSiteOpener([&opened](const std::wstring& address) { opened.push_back(address); });
    bool stayedOpen = false;
    WhenShown(Wide(texts::kAboutCaption), [&](HWND about) {
        HWND version = GetDlgItem(about, IDC_ABOUT_VERSION);
        EXPECT_EQ(TextOf(version), Wide(AboutVersionText()));
        HDC dc = GetDC(version);
        const auto brush = reinterpret_cast<HBRUSH>(
            SendMessageW(about, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                         reinterpret_cast<LPARAM>(version)));
        EXPECT_EQ(GetTextColor(dc), RGB(255, 255, 255));
        EXPECT_EQ(GetBkColor(dc), RGB(0, 0, 0));
        LOGBRUSH fill{};
        GetObjectW(brush, sizeof fill, &fill);
        EXPECT_EQ(fill.lbColor, RGB(0, 0, 0));
        ReleaseDC(version, dc);

        HWND picture = GetDlgItem(about, IDC_ABOUT_PICTURE);
        SendMessageW(about, WM_COMMAND, MAKEWPARAM(IDC_ABOUT_PICTURE, STN_CLICKED),
                     reinterpret_cast<LPARAM>(picture));
        SendMessageW(about, WM_COMMAND, MAKEWPARAM(IDC_ABOUT_VERSION, EN_SETFOCUS),
                     reinterpret_cast<LPARAM>(version));
        stayedOpen = IsWindowVisible(about) != FALSE;
        SendMessageW(about, WM_COMMAND, IDOK, 0);
    });
    SendMessageW(Hwnd(), WM_COMMAND, texts::kIdAppAbout, 0);
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(opened, std::vector<std::wstring>{Wide(texts::kWebSiteAddress)});
}

// The window's close while a box or dialog is up: it is ended with the answer that stops, and
// the window closes once it has returned, with the document saved.
struct OpenModal {
    const char* name;
    const char* caption;
    std::function<void(FrameShell&)> open;
};

class FrameCloseWhileModal : public FrameRig, public ::testing::WithParamInterface<OpenModal> {};

TEST_P(FrameCloseWhileModal, EndsTheModalThenCloses) {
    const HWND frame = Hwnd();
    bool seen = false;
    WhenShown(Wide(GetParam().caption), [&](HWND) {
        seen = true;
        PostMessageW(frame, WM_CLOSE, 0, 0);
    });
    GetParam().open(Shell());
    EXPECT_TRUE(seen);
    EXPECT_TRUE(Shell().ClosePending());
    RunUntilClosed();
    EXPECT_FALSE(IsWindow(frame));
    EXPECT_NE(FileText(IniPath()).find("[Zentrik Config]"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Modals, FrameCloseWhileModal,
    ::testing::Values(OpenModal{"YesNoBox", "Zentrik Question",
                                [](FrameShell& shell) {
                                    EXPECT_EQ(shell.ShowMessageBox("Go on?", "Zentrik Question",
                                                                   MessageIcon::Question,
                                                                   MessageButtons::YesNo),
                                              MessageAnswer::No);
                                }},
                      OpenModal{"Notice", texts::kUploadedTitle,
                                [](FrameShell& shell) { shell.ShowNotice(NoticeKind::Uploaded); }},
                      OpenModal{"About", texts::kAboutCaption,
                                [](FrameShell& shell) { shell.OnCommand(texts::kIdAppAbout); }},
                      OpenModal{
                          "FileChooser", texts::kOpenConfigurationTitle,
                          [](FrameShell& shell) { shell.OnCommand(texts::kIdOpenConfiguration); }}),
    [](const ::testing::TestParamInfo<OpenModal>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace zentrik::test
