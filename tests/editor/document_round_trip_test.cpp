// What the form writes is what the next run shows.
#include "config/config_persistence.h"
#include "editor/control_ids.h"
#include "editor/form_controls.h"
#include "form_fixture.h"
#include "support/test_paths.h"

namespace zentrik::test {
namespace {

using namespace control_ids;

using DocumentRoundTripTest = FormTest;

// Everything the form shows, control by control.
std::vector<std::string> Snapshot(const StageForm& form) {
    std::vector<std::string> shown;
    for (const FormControlSpec& item : FormControls()) {
        if (item.id < 0) {
            continue;
        }
        const ControlState& state = form.Control(item.id);
        std::string line = std::to_string(item.id) + (state.shown ? "" : " hidden") + "=";
        switch (item.kind) {
            case ControlKind::NumericEdit:
                line += form.Field(item.id).Text(true);
                break;
            case ControlKind::List:
                line += std::to_string(state.selected);
                break;
            case ControlKind::CheckBox:
                line += state.checked ? "on" : "off";
                break;
            default:
                line += state.text;
                break;
        }
        shown.push_back(line);
    }
    const Curve points = form.Graph().GetPercents();
    shown.emplace_back(points.begin(), points.end());
    return shown;
}

TEST_F(DocumentRoundTripTest, EditsSurviveSaveAndLoadIntoAFreshForm) {
    m_settings.SetPath(MakeTempDir() + "/Zentrik.ini");
    Build();
    Pick(kUnits, 1);       // bar
    Pick(kMultiplier, 9);  // "÷4.5"
    Pick(kInput2, 0);
    Click(kLockout);
    Enter(kRpmCutoff, "7200");
    Enter(kRpmTrigger, "3100");
    Enter(kFrequency, "33");
    Enter(kMapCutoff, "4.5");
    Enter(kMapTrigger, "0.5");
    Enter(kMapEnd, "3.25");
    Enter(kStart, "12");
    Enter(kFinal, "88");
    Click(kResetToStraightLine);
    Pick(kStage, 1);
    Pick(kInput2Will, 1);
    Enter(kDelay, "1.5");
    Enter(kRampTime, "4.2");
    Pick(kStage, 0);
    const std::vector<std::string> entered = Snapshot(*m_form);

    ASSERT_TRUE(SaveDocument(m_settings, m_doc));
    ConfigDocument loaded;
    LoadDocument(m_settings, loaded);
    StageForm fresh(loaded, m_settings);
    fresh.OnInitialUpdate();
    EXPECT_EQ(Snapshot(fresh), entered);
    EXPECT_EQ(loaded.record.RPM_Multiplier, -24);
    EXPECT_EQ(loaded.record.stage[1].Delay_Time, 15);
    EXPECT_EQ(loaded.record.stage[1].Ramp_Time, 42);
}

}  // namespace
}  // namespace zentrik::test
