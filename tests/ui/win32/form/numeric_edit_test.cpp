// The form's numeric edits: what they show, and when what the user typed, stepped or wheeled
// reaches the form (NEN_CHANGED, registered by its string, watched on its way to the form).
#include <vector>

#include "form_window.h"

namespace zentrik::test {
namespace {

using namespace control_ids;

struct Report {
    int id;
    double value;
    LRESULT answer;
};

// Every NEN_CHANGED the form receives, with the form's answer.
LRESULT CALLBACK WatchReports(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                              UINT_PTR /*id*/, DWORD_PTR reports) {
    static const UINT changed =
        RegisterWindowMessageW(L"NEN_CHANGED-{CD9B6FDC-F420-4956-91B0-AB882EC15A89}");
    const LRESULT answer = DefSubclassProc(hwnd, message, wParam, lParam);
    if (message == changed) {
        reinterpret_cast<std::vector<Report>*>(reports)->push_back(
            {static_cast<int>(wParam), *reinterpret_cast<const double*>(lParam), answer});
    }
    return answer;
}

class NumericEditWindow : public FormWindow {
  protected:
    void Build() {
        FormWindow::Build();
        SetWindowSubclass(m_view->Hwnd(), WatchReports, 1, reinterpret_cast<DWORD_PTR>(&m_reports));
    }
    void Focus(int id) {
        SetFocus(Get(id));
        ASSERT_EQ(GetFocus(), Get(id)) << id;
    }
    void Wheel(int id, int delta) {
        SendMessageW(Get(id), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(delta)), 0);
    }
    static UINT Message(const wchar_t* name) { return RegisterWindowMessageW(name); }
    std::pair<DWORD, DWORD> Selection(int id) {
        DWORD first = 0;
        DWORD last = 0;
        SendMessageW(Get(id), EM_GETSEL, reinterpret_cast<WPARAM>(&first),
                     reinterpret_cast<LPARAM>(&last));
        return {first, last};
    }

    std::vector<Report> m_reports;
};

TEST_F(NumericEditWindow, TypedTextReachesTheFormOnceWhenConfirmedAndNeverWhileTyped) {
    Build();
    EXPECT_EQ(Text(kRpmCutoff), L"6500 RPM");
    Focus(kRpmCutoff);
    EXPECT_EQ(Text(kRpmCutoff), L"6500");  // plain while focused, all of it selected
    EXPECT_EQ(Selection(kRpmCutoff), std::make_pair(DWORD{0}, DWORD{4}));

    // At RPM Trigger's value: the form lowers the trigger, but only once the focus leaves.
    Type(kRpmCutoff, L"2500");
    EXPECT_EQ(RecordStage(0).RPM_Max, 6500);
    EXPECT_TRUE(m_reports.empty());
    Focus(kMapCutoff);
    ASSERT_EQ(m_reports.size(), 1u);
    EXPECT_EQ(m_reports[0].id, kRpmCutoff);
    EXPECT_EQ(m_reports[0].value, 2500.0);
    EXPECT_EQ(m_reports[0].answer, 1);
    EXPECT_EQ(RecordStage(0).RPM_Max, 2500);
    EXPECT_EQ(RecordStage(0).RPM_Trigger, 2499);
    EXPECT_EQ(Text(kRpmCutoff), L"2500 RPM");
    EXPECT_EQ(Text(kRpmTrigger), L"2499 RPM");

    // Not a number: nothing reported, the field shows its value again.
    Type(kMapCutoff, L"abc");
    Press(VK_RETURN);
    EXPECT_EQ(m_reports.size(), 1u);
    EXPECT_EQ(Text(kMapCutoff), L"25.8");
    // Escape takes typed text back; leaving afterwards reports nothing.
    Type(kMapCutoff, L"30");
    Press(VK_ESCAPE);
    EXPECT_EQ(Text(kMapCutoff), L"25.8");
    EXPECT_EQ(GetFocus(), Get(kMapCutoff));
    // Enter hands it over once: leaving the field afterwards does not again.
    Type(kMapCutoff, L"30");
    Press(VK_RETURN);
    ASSERT_EQ(m_reports.size(), 2u);
    EXPECT_EQ(m_reports[1].value, 30.0);
    EXPECT_EQ(Pressure(0, PressureField::MAP_Max), 30.0);
    EXPECT_EQ(Text(kMapCutoff), L"30.0");
    Focus(kFrequency);
    EXPECT_EQ(m_reports.size(), 2u);
    EXPECT_EQ(Text(kMapCutoff), L"30.0 psi");

    // A command about to act on the document takes the typed value first, once.
    Type(kFrequency, L"20");
    m_view->CommitPendingEdit();
    m_view->CommitPendingEdit();
    ASSERT_EQ(m_reports.size(), 3u);
    EXPECT_EQ(RecordStage(0).Frequency, 20);
}

TEST_F(NumericEditWindow, KeysAndTheWheelStepOnlyAFocusedField) {
    Build();
    Focus(kRpmCutoff);
    Wheel(kFrequency, 120);  // over a field without the focus: not its turn
    EXPECT_EQ(RecordStage(0).Frequency, 12);

    Focus(kFrequency);
    Press(VK_UP);
    EXPECT_EQ(RecordStage(0).Frequency, 13);
    Press(VK_PRIOR);
    EXPECT_EQ(RecordStage(0).Frequency, 23);
    Press(VK_DOWN);
    EXPECT_EQ(RecordStage(0).Frequency, 22);
    Wheel(kFrequency, 240);
    EXPECT_EQ(RecordStage(0).Frequency, 24);
    Wheel(kFrequency, 60);  // half a notch waits for the other half
    EXPECT_EQ(RecordStage(0).Frequency, 24);
    Wheel(kFrequency, 60);
    EXPECT_EQ(RecordStage(0).Frequency, 25);
    Press(VK_NEXT);
    EXPECT_EQ(RecordStage(0).Frequency, 15);
    EXPECT_EQ(Text(kFrequency), L"15");
    EXPECT_EQ(GetFocus(), Get(kFrequency));

    // Typed text goes first, so the step starts from it.
    const std::size_t before = m_reports.size();
    Type(kFrequency, L"40");
    Press(VK_UP);
    EXPECT_EQ(RecordStage(0).Frequency, 41);
    EXPECT_EQ(m_reports.size(), before + 2);
}

TEST_F(NumericEditWindow, ItsOwnMessagesReadTheFieldAndChangeItOnlyThroughTheForm) {
    Build();
    const UINT getPos = Message(L"NEM_GETPOS-{C513E47E-D128-4513-8460-B6C944A49131}");
    const UINT setPos = Message(L"NEM_SETPOS-{D3BF042E-8E1E-403f-8644-CCCB8FDBD80C}");
    const UINT getRange = Message(L"NEM_GETRANGE-{5474EEB4-6BDC-4a5d-9CCE-7FC29F2BA06E}");
    const UINT setRange = Message(L"NEM_SETRANGE-{D837739D-9588-4747-AB2C-12BBFEF57138}");
    const UINT getReadOnly = Message(L"NEM_GETREADONLY-{7399E120-E305-48e0-9CF3-755483B79F87}");
    const UINT setReadOnly = Message(L"NEM_SETREADONLY-{12B8313F-44D6-4680-A208-19B61186BEC9}");

    double value = 0.0;
    EXPECT_TRUE(SendMessageW(Get(kRpmTrigger), getPos, 0, reinterpret_cast<LPARAM>(&value)));
    EXPECT_EQ(value, 2500.0);
    double minimum = -1.0;
    double maximum = -1.0;
    EXPECT_TRUE(SendMessageW(Get(kRpmTrigger), getRange, reinterpret_cast<WPARAM>(&minimum),
                             reinterpret_cast<LPARAM>(&maximum)));
    EXPECT_EQ(minimum, 0.0);
    EXPECT_EQ(maximum, 6499.0);  // below RPM Cutoff, as the form keeps it

    // A new position is the form's to take, within the range; the range is the form's alone.
    value = 7000.0;
    EXPECT_TRUE(SendMessageW(Get(kRpmTrigger), setPos, 0, reinterpret_cast<LPARAM>(&value)));
    ASSERT_EQ(m_reports.size(), 1u);
    EXPECT_EQ(m_reports[0].value, 6499.0);
    EXPECT_EQ(RecordStage(0).RPM_Trigger, 6499);
    EXPECT_EQ(Text(kRpmTrigger), L"6499 RPM");
    minimum = 0.0;
    maximum = 100.0;
    EXPECT_FALSE(SendMessageW(Get(kRpmTrigger), setRange, reinterpret_cast<WPARAM>(&minimum),
                              reinterpret_cast<LPARAM>(&maximum)));
    EXPECT_EQ(m_view->Form().Field(kRpmTrigger).Maximum(), 6499.0);

    // A read-only field neither steps nor takes the wheel.
    EXPECT_FALSE(SendMessageW(Get(kFrequency), getReadOnly, 0, 0));
    SendMessageW(Get(kFrequency), setReadOnly, TRUE, 0);
    EXPECT_TRUE(SendMessageW(Get(kFrequency), getReadOnly, 0, 0));
    Focus(kFrequency);
    Press(VK_UP);
    Wheel(kFrequency, 120);
    EXPECT_EQ(RecordStage(0).Frequency, 12);
    EXPECT_EQ(m_reports.size(), 1u);
}

}  // namespace
}  // namespace zentrik::test
