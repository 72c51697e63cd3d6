// Reads arbitrary bytes as a configuration file (.zcfg), then runs the check before an upload
// on what was read and the correction behind it: whatever a file holds, the correction must
// leave nothing for the check to find, and what the check found must name real controls.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "config/config_file.h"
#include "editor/upload_check.h"

namespace {

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zentrik;
    const ConfigFileRead read =
        ReadConfigText(std::string_view(reinterpret_cast<const char*>(data), size));
    if (read.status != ConfigFileStatus::Ok && read.status != ConfigFileStatus::Incomplete) {
        Check(read.status == ConfigFileStatus::NoConfiguration);
        return 0;
    }
    Check(read.notes.keysFound <= read.notes.keysRead);
    Check((read.status == ConfigFileStatus::Incomplete) == (read.notes.MissingKeys() > 0));

    ConfigDocument doc = read.document;
    LoadedFile loaded{doc, read.notes.unfit};
    const std::vector<UploadProblem> problems = CheckConfiguration(doc, &loaded);
    for (const UploadProblem& problem : problems) {
        Check(!problem.text.empty());
        Check(problem.setting.stage >= -1 && problem.setting.stage <= 1);
    }
    // Every unfit key is a problem until it is corrected.
    Check(problems.size() >= read.notes.unfit.size());

    CorrectConfiguration(doc, &loaded);
    Check(CheckConfiguration(doc, &loaded).empty());

    // What the correction leaves is saved and read back whole, and stays clean in the file's
    // two decimals.
    const ConfigFileRead again = ReadConfigText(ConfigFileText(doc, "2000-01-01"));
    Check(again.status == ConfigFileStatus::Ok);
    Check(again.notes.unfit.empty());
    Check(CheckConfiguration(again.document).empty());
    return 0;
}
