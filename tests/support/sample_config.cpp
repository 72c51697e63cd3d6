#include "support/sample_config.h"

#include <fstream>

namespace zentrik::test {

ConfigDocument SampleConfigDocument() {
    ConfigDocument doc;
    ControllerConfig& c = doc.record;
    SetRPM_Present(c, true);
    c.RPM_Multiplier = -3;
    c.Input_Type1 = 2;
    c.Input_Type2 = 2;
    for (int s = 0; s < 2; ++s) {
        StageConfig& st = c.stage[s];
        SetPresent(st, true);
        SetTrig_Sx1_Config(st, 1 + s);
        SetTrig_Sx2_Config(st, 1 + s);
        SetTIME_Based(st, s == 1);
        SetFirst_Gear_Lockout(st, s == 0);
        st.Frequency = static_cast<std::uint8_t>(12 + s);
        st.RPM_Trigger = static_cast<std::int16_t>(2500 + 100 * s);
        st.RPM_Max = static_cast<std::int16_t>(6500 + 250 * s);
        st.Delay_Time = static_cast<std::uint8_t>(5 + s);
        st.Ramp_Time = static_cast<std::uint8_t>(80 + s);
        for (int p = 0; p < kPercentPoints; ++p) {
            st.Percent[p] = static_cast<std::uint8_t>((p * 5 + s * 3) % 101);
        }
    }
    doc.displayPressures = {1.5, 10.25, 25.75, 3.0, 12.5, 38.0};
    SyncRecordPressures(doc);
    return doc;
}

std::string IniSectionText(const std::string& path, const std::string& section) {
    std::ifstream in(path);
    std::string text;
    bool inside = false;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (!line.empty() && line.front() == '[') {
            inside = line == "[" + section + "]";
            continue;
        }
        if (inside) {
            text += line + "\n";
        }
    }
    return text;
}

}  // namespace zentrik::test
