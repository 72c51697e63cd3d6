// Parses arbitrary bytes as an INI file, reads values the way the settings do, then sets one
// key and checks that the rewrite reads back and keeps every other byte of the file.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "base/text_format.h"
#include "config/ini_file.h"
#include "config/profile_text.h"

namespace {

constexpr std::string_view kSections[] = {"S", "Zentrik Config", "zentrik settings", "a"};
constexpr std::string_view kKeys[] = {"k", "Key", "RPM_Multiplier", "Stage 1 MAP End", "a"};

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zentrik;
    const std::string input(reinterpret_cast<const char*>(data), size);
    IniFile file(input);
    Check(file.Serialize() == input);

    const std::string_view section = kSections[size % std::size(kSections)];
    const std::string_view key = kKeys[(size / 7) % std::size(kKeys)];
    const std::string_view other = kKeys[(size / 7 + 1) % std::size(kKeys)];

    // The typed readers on whatever the file holds.
    const int number = ProfileInt(file, section, key, 7);
    const std::string text = ProfileString(file, section, key, "20.040001");
    Check(text.size() < kProfileBufferSize);
    const double value = ParseLeadingDouble(text);
    (void)number;
    (void)value;

    const auto otherBefore = file.Value(section, other);
    const std::string otherText = otherBefore ? std::string(*otherBefore) : std::string();
    const bool existed = file.Value(section, key).has_value();

    const std::string newValue = FormatFixed(static_cast<double>(size) / 3.0, 2);
    Check(file.SetValue(section, key, newValue));
    const std::string output = file.Serialize();
    const IniFile reread(output);
    Check(reread.Value(section, key) == std::string_view(newValue));
    const auto otherAfter = reread.Value(section, other);
    Check(otherAfter.has_value() == otherBefore.has_value());
    Check(!otherAfter || *otherAfter == otherText);

    // Only one place of the file changed: the common prefix and suffix cover the rest.
    std::size_t prefix = 0;
    while (prefix < input.size() && prefix < output.size() && input[prefix] == output[prefix]) {
        ++prefix;
    }
    std::size_t suffix = 0;
    while (suffix < input.size() - prefix && suffix < output.size() - prefix &&
           input[input.size() - 1 - suffix] == output[output.size() - 1 - suffix]) {
        ++suffix;
    }
    const std::string_view removed =
        std::string_view(input).substr(prefix, input.size() - prefix - suffix);
    if (existed) {
        // In place: only the old value's text went, never a line break.
        Check(removed.find('\n') == std::string_view::npos);
    } else {
        // Added lines only: nothing of the original went.
        Check(removed.empty());
    }
    return 0;
}
