// The dialog templates as the program carries them: every control's id, class, caption,
// place and size in dialog units, style and visibility at start, in template order, against
// tables of the form and the dialogs written out here.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "ui/win32/res/resource_tables.h"
#include "windows/resources/dialog_template.h"

namespace zentrik::test {
namespace {

enum class Kind {
    kGroupBox,
    kLabel,  // left-aligned
    kRightLabel,
    kCentredLabel,
    kCheckBox,
    kLeftTextCheckBox,
    kDropDownList,
    kNumericEdit,
    kPushButton,
    kDefaultButton,
    kGraph,    // a static control that reports clicks
    kPicture,  // a bitmap that reports clicks; the caption is the bitmap's number
    kBorderlessEdit,
    kProgressBar,
};

constexpr int kNone = -1;  // a control without id
constexpr short kAnyPlace = -1;

struct Control {
    int id;
    Kind kind;
    const wchar_t* caption;
    short x, y, cx, cy;
    bool hiddenAtStart = false;
    int bitmap = kNone;  // pictures only
};

// Form 130.
const Control kFormControls[] = {
    {kNone, Kind::kGroupBox, L"Inputs", 212, 7, 135, 27},
    {kNone, Kind::kLabel, L"Input #2:", 219, 18, 32, 9},
    {1073, Kind::kDropDownList, L"", 251, 16, 89, 68},
    {kNone, Kind::kGroupBox, L"RPM", 66, 7, 140, 27},
    {1050, Kind::kLeftTextCheckBox, L"Present:", 72, 18, 40, 8},
    {kNone, Kind::kLabel, L"Multiplier:", 128, 18, 30, 8},
    {1001, Kind::kDropDownList, L"", 160, 16, 40, 247},
    {kNone, Kind::kGroupBox, L"MAP Units", 7, 7, 54, 27},
    {1075, Kind::kDropDownList, L"", 15, 16, 39, 107},
    {kNone, Kind::kGroupBox, L"", 7, 39, 340, 258},
    {1067, Kind::kDropDownList, L"", 15, 37, 70, 69},
    {1028, Kind::kCheckBox, L"Present", 23, 54, 40, 8},
    {1063, Kind::kLabel, L"Type:", 201, 54, 19, 9},
    {1052, Kind::kDropDownList, L"", 223, 52, 65, 82},
    {1051, Kind::kCheckBox, L"Enable First-Gear Lockout", 23, 72, 98, 8},
    {1064, Kind::kLabel, L"Input #2 Will", 178, 72, 41, 8},
    {1045, Kind::kDropDownList, L"", 223, 69, 65, 71},
    {1065, Kind::kLabel, L"This Stage", 290, 72, 35, 8},
    {1077, Kind::kRightLabel, L"RPM Cutoff:", 24, 93, 41, 9},
    {1003, Kind::kNumericEdit, L"", 66, 90, 68, 15},
    {1035, Kind::kLabel, L"Solenoid Frequency:", 156, 92, 66, 8},
    {1033, Kind::kNumericEdit, L"", 223, 88, 49, 15},
    {1076, Kind::kRightLabel, L"MAP Cutoff:", 24, 110, 41, 9},
    {1005, Kind::kNumericEdit, L"", 66, 107, 68, 15},
    {1054, Kind::kRightLabel, L"RPM Trigger:", 22, 133, 43, 8},
    {1002, Kind::kNumericEdit, L"", 66, 130, 68, 15},
    {1056, Kind::kRightLabel, L"MAP Trigger:", 139, 133, 42, 8},
    {1006, Kind::kNumericEdit, L"", 183, 130, 68, 15},
    {1062, Kind::kRightLabel, L"MAP End:", 148, 150, 33, 8},
    {1007, Kind::kNumericEdit, L"", 183, 147, 68, 15},
    {1034, Kind::kRightLabel, L"Start:", 261, 133, 18, 8},
    {1010, Kind::kNumericEdit, L"", 281, 130, 56, 15},
    {1036, Kind::kRightLabel, L"Final:", 261, 151, 18, 8},
    {1011, Kind::kNumericEdit, L"", 281, 148, 56, 15},
    {1068, Kind::kCheckBox, L"Smooth When Dragging", 31, 169, 90, 8, true},
    {1069, Kind::kPushButton, L"Reset to Straight Line", 128, 167, 80, 12},
    {1070, Kind::kPushButton, L"Smooth Points", 212, 167, 64, 12},
    {1071, Kind::kPushButton, L"Undo", 288, 167, 39, 12, true},
    {1058, Kind::kLabel, L"%", 11, 212, 8, 8},
    {1057, Kind::kGraph, L"", 25, 183, 315, 99},
    {1059, Kind::kLabel, L"0 s", 25, 283, 53, 8},
    {1060, Kind::kCentredLabel, L"Time", 144, 283, 55, 8},
    {1061, Kind::kRightLabel, L"20 s", 292, 283, 49, 8},
    {1032, Kind::kRightLabel, L"Delay:", 148, 133, 33, 8},
    {1031, Kind::kRightLabel, L"Ramp Time:", 141, 150, 40, 8},
    {1009, Kind::kNumericEdit, L"", 183, 130, 68, 15},
    {1008, Kind::kNumericEdit, L"", 183, 147, 68, 15},
};

const Control kAboutControls[] = {
    {1024, Kind::kPicture, L"", 0, 0, 400, 390, false, 152},
    {IDOK, Kind::kDefaultButton, L"OK", 347, 394, 50, 14},
    {1080, Kind::kBorderlessEdit, L"", 11, 396, 114, 9},
};

// The banner bar moves its picture itself, so its place in the template does not matter.
const Control kBannerControls[] = {
    {1037, Kind::kPicture, L"", kAnyPlace, kAnyPlace, kAnyPlace, kAnyPlace, false, 153},
};

const Control kNoticeControls[] = {
    {IDOK, Kind::kDefaultButton, L"OK", 59, 42, 61, 14},
    {1040, Kind::kLabel, L"Info here", 7, 7, 166, 32},
};

const Control kProgressControls[] = {
    {1048, Kind::kProgressBar, L"", 7, 7, 171, 14},
    {IDOK, Kind::kDefaultButton, L"OK", 68, 7, 50, 14},
    {1049, Kind::kLabel, L"", 7, 23, 171, 24},
};

struct Dialog {
    int id;
    const wchar_t* caption;  // nullptr: a child window without caption
    short cx, cy;
    std::vector<Control> controls;
};

const Dialog kDialogs[] = {
    {130, nullptr, 354, 304, {std::begin(kFormControls), std::end(kFormControls)}},
    {100,
     L"About Halvorn Zentrik",
     400,
     412,
     {std::begin(kAboutControls), std::end(kAboutControls)}},
    {138, nullptr, 376, 48, {std::begin(kBannerControls), std::end(kBannerControls)}},
    {143, L"hmm", 180, 63, {std::begin(kNoticeControls), std::end(kNoticeControls)}},
    {147, L"Dialog", 185, 54, {std::begin(kProgressControls), std::end(kProgressControls)}},
};

std::string Narrow(const std::wstring& text) {
    return {text.begin(), text.end()};
}

bool SameClass(const std::wstring& actual, const wchar_t* expected) {
    // windres writes class names in capitals; Windows compares them without case.
    return CompareStringOrdinal(actual.c_str(), -1, expected, -1, TRUE) == CSTR_EQUAL;
}

DWORD ButtonType(const DialogItem& item) {
    return item.style & BS_TYPEMASK;
}
DWORD StaticType(const DialogItem& item) {
    return item.style & SS_TYPEMASK;
}

// The class and style bits that make a template control the kind of control it should be.
void ExpectKind(const DialogItem& item, const Control& want) {
    const bool tabStop = item.style & WS_TABSTOP;
    switch (want.kind) {
        case Kind::kGroupBox:
            EXPECT_TRUE(SameClass(item.className, L"Button"));
            EXPECT_EQ(ButtonType(item), static_cast<DWORD>(BS_GROUPBOX));
            break;
        case Kind::kLabel:
        case Kind::kRightLabel:
        case Kind::kCentredLabel: {
            EXPECT_TRUE(SameClass(item.className, L"Static"));
            const DWORD alignment = want.kind == Kind::kLabel        ? SS_LEFT
                                    : want.kind == Kind::kRightLabel ? SS_RIGHT
                                                                     : SS_CENTER;
            EXPECT_EQ(StaticType(item), alignment);
            break;
        }
        case Kind::kCheckBox:
        case Kind::kLeftTextCheckBox:
            EXPECT_TRUE(SameClass(item.className, L"Button"));
            EXPECT_EQ(ButtonType(item), static_cast<DWORD>(BS_AUTOCHECKBOX));
            EXPECT_EQ((item.style & BS_LEFTTEXT) != 0, want.kind == Kind::kLeftTextCheckBox);
            EXPECT_TRUE(tabStop);
            break;
        case Kind::kDropDownList:
            EXPECT_TRUE(SameClass(item.className, L"ComboBox"));
            EXPECT_EQ(item.style & 3, static_cast<DWORD>(CBS_DROPDOWNLIST));
            // A list's place is its value: sorting would change what each entry stores.
            EXPECT_FALSE(item.style & CBS_SORT);
            EXPECT_TRUE(tabStop);
            break;
        case Kind::kNumericEdit:
            EXPECT_TRUE(SameClass(item.className, L"MFCNumericEditCtrl"));
            EXPECT_TRUE(tabStop);
            break;
        case Kind::kPushButton:
        case Kind::kDefaultButton:
            EXPECT_TRUE(SameClass(item.className, L"Button"));
            EXPECT_EQ(ButtonType(item),
                      static_cast<DWORD>(want.kind == Kind::kPushButton ? BS_PUSHBUTTON
                                                                        : BS_DEFPUSHBUTTON));
            EXPECT_TRUE(tabStop);
            break;
        case Kind::kGraph:
            EXPECT_TRUE(SameClass(item.className, L"Static"));
            EXPECT_TRUE(item.style & SS_NOTIFY);
            break;
        case Kind::kPicture:
            EXPECT_TRUE(SameClass(item.className, L"Static"));
            EXPECT_EQ(StaticType(item), static_cast<DWORD>(SS_BITMAP));
            EXPECT_TRUE(item.style & SS_NOTIFY);
            EXPECT_EQ(item.textOrdinal, want.bitmap);
            break;
        case Kind::kBorderlessEdit:
            EXPECT_TRUE(SameClass(item.className, L"Edit"));
            EXPECT_FALSE(item.style & WS_BORDER);
            EXPECT_FALSE(item.exStyle & WS_EX_CLIENTEDGE);
            EXPECT_FALSE(item.style & ES_READONLY);  // the version field accepts typing
            break;
        case Kind::kProgressBar:
            EXPECT_TRUE(SameClass(item.className, PROGRESS_CLASSW));
            break;
    }
}

TEST(DialogTemplates, EveryControlInOrderWithItsIdClassCaptionPlaceAndStyle) {
    for (const Dialog& want : kDialogs) {
        SCOPED_TRACE("dialog " + std::to_string(want.id));
        std::string error;
        const auto dialog = ReadDialogTemplate(GetModuleHandleW(nullptr), want.id, &error);
        ASSERT_TRUE(dialog) << error;

        EXPECT_EQ(dialog->cx, want.cx);
        EXPECT_EQ(dialog->cy, want.cy);
        EXPECT_EQ(dialog->pointSize, 8);
        EXPECT_EQ(dialog->typeface, L"MS Sans Serif");
        EXPECT_FALSE(dialog->hasMenu);
        EXPECT_FALSE(dialog->hasClass);
        if (want.caption == nullptr) {
            EXPECT_TRUE(dialog->style & WS_CHILD);
            EXPECT_FALSE(dialog->style & (WS_POPUP | WS_CAPTION | WS_VISIBLE));
            EXPECT_EQ(dialog->caption, L"");
        } else {
            EXPECT_TRUE(dialog->style & WS_POPUP);
            EXPECT_EQ(dialog->style & (WS_CAPTION | WS_SYSMENU | DS_MODALFRAME),
                      static_cast<DWORD>(WS_CAPTION | WS_SYSMENU | DS_MODALFRAME));
            EXPECT_EQ(dialog->caption, want.caption);
        }

        ASSERT_EQ(dialog->items.size(), want.controls.size());
        for (std::size_t i = 0; i < want.controls.size(); ++i) {
            const Control& control = want.controls[i];
            const DialogItem& item = dialog->items[i];
            SCOPED_TRACE("control " + std::to_string(i) + " (" + std::to_string(control.id) +
                         " \"" + Narrow(control.caption) + "\")");
            EXPECT_EQ(item.id, control.id);
            if (control.kind != Kind::kPicture) {
                EXPECT_EQ(item.text, control.caption);
            }
            if (control.x != kAnyPlace) {
                EXPECT_EQ(item.x, control.x);
                EXPECT_EQ(item.y, control.y);
                EXPECT_EQ(item.cx, control.cx);
                EXPECT_EQ(item.cy, control.cy);
            }
            EXPECT_EQ((item.style & WS_VISIBLE) == 0, control.hiddenAtStart);
            ExpectKind(item, control);
        }
    }
}

// The lists' entries come from resource_tables.h: each drop-down list of the form has its
// table and each table names a drop-down list of the form, with the entries in list order.
TEST(DialogTemplates, EveryListOfTheFormHasItsEntries) {
    struct List {
        int id;
        std::vector<std::string_view> entries;
    };
    const List lists[] = {
        {1073, {"Activate with 12 Volts", "Activate with Ground"}},
        {1075, {"psi", "bar"}},
        {1067, {"Stage 1", "Stage 2"}},
        {1052, {"MAP-Based", "Time-Based"}},
        {1045, {"Be Ignored By", "Enable", "Disable"}},
    };
    std::string error;
    const auto form = ReadDialogTemplate(GetModuleHandleW(nullptr), 130, &error);
    ASSERT_TRUE(form) << error;
    std::set<int> combos;
    for (const DialogItem& item : form->items) {
        if (SameClass(item.className, L"ComboBox")) {
            combos.insert(item.id);
        }
    }

    std::set<int> tabled{win32_res::kMultiplierList};
    for (const win32_res::FormList& list : win32_res::kFormLists) {
        tabled.insert(list.id);
    }
    EXPECT_EQ(tabled, combos);
    for (const List& want : lists) {
        SCOPED_TRACE("list " + std::to_string(want.id));
        const auto* list =
            std::find_if(std::begin(win32_res::kFormLists), std::end(win32_res::kFormLists),
                         [&](const auto& l) { return l.id == want.id; });
        ASSERT_NE(list, std::end(win32_res::kFormLists));
        EXPECT_EQ(std::vector<std::string_view>(list->entries.begin(), list->entries.end()),
                  want.entries);
    }
}

}  // namespace
}  // namespace zentrik::test
