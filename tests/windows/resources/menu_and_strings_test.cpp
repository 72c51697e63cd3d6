// Menu 128 and the string table as the program carries them, read back through the calls the
// window uses (LoadMenu with GetMenuItemInfo, LoadString), against the tables written here.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

namespace zentrik::test {
namespace {

std::string Narrow(const std::wstring& text) {
    return {text.begin(), text.end()};
}

// A string resource exactly as stored, trailing blanks included (LoadString with no buffer
// hands out the resource's own characters).
std::wstring StringResource(int id) {
    const wchar_t* text = nullptr;
    const int length =
        LoadStringW(GetModuleHandleW(nullptr), static_cast<UINT>(id), (LPWSTR)&text, 0);
    return length > 0 ? std::wstring(text, static_cast<std::size_t>(length)) : std::wstring();
}

struct MenuItem {
    const wchar_t* caption;  // nullptr: a separator
    int id;
};
struct Popup {
    const wchar_t* caption;
    std::vector<MenuItem> items;
};

const Popup kMenu[] = {
    {L"&File", {{L"E&xit", 57665}}},
    {L"&View", {{L"&Controller Toolbar", 32779}, {L"&Status Bar", 59393}}},
    {L"&Controller",
     {{L"&Upload Config To Controller", 32772},
      {L"&Download Config From Controller", 32773},
      {L"Get Controller &Info", 32774},
      {nullptr, 0},
      {L"&Upgrade Firmware", 32775},
      {L"Scan For Connection", 32780}}},
    {L"&Help", {{L"&About Halvorn Zentrik...", 57664}}},
};

struct Item {
    std::wstring caption;
    UINT id = 0;
    bool separator = false;
    HMENU submenu = nullptr;
};

Item ReadItem(HMENU menu, int position) {
    wchar_t caption[128] = {};
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING | MIIM_SUBMENU;
    info.dwTypeData = caption;
    info.cch = static_cast<UINT>(std::size(caption));
    Item item;
    if (!GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &info)) {
        ADD_FAILURE() << "no item at position " << position;
        return item;
    }
    item.caption = caption;
    item.id = info.wID;
    item.separator = info.fType & MFT_SEPARATOR;
    item.submenu = info.hSubMenu;
    return item;
}

TEST(MenuResource, EveryItemInOrderWithItsCaptionIdAndSeparators) {
    HMENU menu = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(128));
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(GetMenuItemCount(menu), static_cast<int>(std::size(kMenu)));
    for (int p = 0; p < GetMenuItemCount(menu); ++p) {
        const Popup& want = kMenu[p];
        const Item popup = ReadItem(menu, p);
        SCOPED_TRACE(Narrow(want.caption));
        EXPECT_EQ(popup.caption, want.caption);
        ASSERT_NE(popup.submenu, nullptr);
        ASSERT_EQ(GetMenuItemCount(popup.submenu), static_cast<int>(want.items.size()));
        for (int i = 0; i < GetMenuItemCount(popup.submenu); ++i) {
            const MenuItem& wantItem = want.items[static_cast<std::size_t>(i)];
            const Item item = ReadItem(popup.submenu, i);
            SCOPED_TRACE("position " + std::to_string(i));
            EXPECT_EQ(item.separator, wantItem.caption == nullptr);
            EXPECT_EQ(item.submenu, nullptr);
            if (wantItem.caption != nullptr) {
                EXPECT_EQ(item.caption, wantItem.caption);
                EXPECT_EQ(item.id, static_cast<UINT>(wantItem.id));
            }
        }
    }
    DestroyMenu(menu);
}

TEST(StringResources, TitlesAndEachCommandsPromptAndTip) {
    const struct {
        int id;
        const wchar_t* text;
    } strings[] = {
        // Window title, document name, base name of new documents, filter name, extension,
        // document type id and name.
        {128, L"Halvorn Zentrik\nConfiguration\nZentrik\n\n\nZentrik.Document\nZentrik Document"},
        {57344, L"Halvorn Zentrik"},
        {57345, L"Ready"},
        {57665, L"Quit the application; prompts to save documents\nExit"},
        {32779, L"Show or Hide the Controller Toolbar\nToggle Controller Toolbar"},
        {59393, L"Show or hide the status bar\nToggle StatusBar"},
        {32772, L"Upload Config to Controller\nUpload"},
        {32773, L"Download Config From Controller\nDownload"},
        {32774, L"Get the Controller Version Info\nController Info"},
        {32775, L"Update the Controller Firmware\nUpgrade Controller Firmware"},
        {32780, L"Scan for a Connected Controller\nScan "},
        {57664, L"Display About Window\nAbout"},
        {32776, L"Displays the Controller Connection Status\nController Connection"},
    };
    for (const auto& want : strings) {
        SCOPED_TRACE("string " + std::to_string(want.id));
        EXPECT_EQ(StringResource(want.id), want.text);
    }
}

TEST(StringResources, StatisticsPaneTemplatesAreTheNamesPaddedWithBlanks) {
    const struct {
        int id;
        std::wstring name;
    } panes[] = {
        {102, L"Queued"},   {103, L"Attempted"}, {104, L"CRC Errors"},
        {105, L"Timeouts"}, {106, L"Good"},
    };
    for (const auto& pane : panes) {
        SCOPED_TRACE("string " + std::to_string(pane.id));
        const std::wstring text = StringResource(pane.id);
        ASSERT_GT(text.size(), pane.name.size());
        EXPECT_EQ(text.substr(0, pane.name.size()), pane.name);
        EXPECT_EQ(text.find_first_not_of(L' ', pane.name.size()), std::wstring::npos)
            << Narrow(text);
    }
}

}  // namespace
}  // namespace zentrik::test
