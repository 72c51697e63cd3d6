// Numbers as the window shows them: the same text whatever the process's locale, and halves
// rounded away from zero.
#include "base/text_format.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

namespace zentrik {
namespace {

TEST(FormatNumbers, HalvesGoAwayFromZeroAndOnlyExactHalvesAreHalves) {
    EXPECT_EQ(FormatNumbers("%.1f psi", {10.25}), "10.3 psi");
    EXPECT_EQ(FormatNumbers("%.1f psi", {-10.25}), "-10.3 psi");
    EXPECT_EQ(FormatNumbers("%.0f RPM", {2.5}), "3 RPM");
    EXPECT_EQ(FormatNumbers("%.2f", {0.125}), "0.13");
    // 0.15 is stored a little below 0.15: no half, so it rounds down as printf does.
    EXPECT_EQ(FormatNumbers("%.1f", {0.15}), "0.1");
    EXPECT_EQ(FormatNumbers("%.1f", {10.000000000000002}), "10.0");
    EXPECT_EQ(FormatNumbers("Time:%.1fs %i%%", {5.0, 50}), "Time:5.0s 50%");
    EXPECT_EQ(FormatNumbers("OK [%i sec]", {15}), "OK [15 sec]");
    EXPECT_EQ(FormatNumbers("%.0f%%", {100}), "100%");
    EXPECT_EQ(FormatNumbers("%.1f and %i", {1.0}), "1.0 and ");  // no value left: nothing
}

TEST(FormatNumbers, APointWhateverTheLocale) {
    // A locale with a decimal comma, where the machine has one.
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = previous != nullptr ? previous : "C";
    bool comma = false;
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "German_Germany.1252"}) {
        if (std::setlocale(LC_NUMERIC, name) != nullptr) {
            comma = true;
            break;
        }
    }
    EXPECT_EQ(FormatNumbers("%.1f bar", {0.6894744825494009}), "0.7 bar");
    std::setlocale(LC_NUMERIC, saved.c_str());
    if (!comma) {
        GTEST_SKIP() << "no locale with a decimal comma on this machine";
    }
}

}  // namespace
}  // namespace zentrik
