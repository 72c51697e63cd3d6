// The check before an upload and its correction, on records as files and controllers give
// them.
#include "editor/upload_check.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "config/config_file.h"
#include "editor/control_ids.h"
#include "support/sample_config.h"

namespace zentrik {
namespace {

namespace ids = control_ids;

std::vector<std::string> Texts(const std::vector<UploadProblem>& problems) {
    std::vector<std::string> texts;
    for (const UploadProblem& problem : problems) {
        texts.push_back(problem.text);
    }
    return texts;
}

// A hand-edited file: values no field holds, a word for a number, a list value without an
// entry, a trigger above its cut-off and an end beyond it.
constexpr char kHandEdited[] =
    "[Zentrik Config]\n"
    "Input_Type2=7\n"
    "Stage 1 Frequency=300\n"
    "Stage 1 RPM Max=99999\n"
    "Stage 1 Ramp Time=abc\n"
    "Stage 1 MAP End=30\n"
    "Stage 1 Percent 3=250\n"
    "Stage 1 Percent 4=-7\n"
    "Stage 2 RPM Trigger=7000\n";

TEST(UploadCheck, NamesEachProblemInTheFormsWordsAndCorrectsThemAsTypingWould) {
    const ConfigFileRead read = ReadConfigText(kHandEdited);
    ConfigDocument doc = read.document;
    LoadedFile file{doc, read.notes.unfit};
    const std::vector<UploadProblem> problems = CheckConfiguration(doc, &file);
    EXPECT_EQ(Texts(problems),
              (std::vector<std::string>{
                  "Input #2 is 7; it must be one of its list's entries.",
                  "Stage 1 RPM Cutoff is \"99999\" in the file; it must be 1000 to 20000 RPM.",
                  "Stage 1 Solenoid Frequency is \"300\" in the file; it must be 10 to 60 Hz.",
                  "Stage 1 MAP End is 30.0 psi; it must be between the MAP Trigger (0.0 psi) and "
                  "the MAP Cutoff (20.0 psi).",
                  "Stage 1 Ramp Time is \"abc\" in the file; it must be 0.0 to 10.0 sec.",
                  "Stage 1 Percent 3 is 250%; it must be 0 to 100%.",
                  "Stage 1 Percent 4 is \"-7\" in the file; it must be 0 to 100%.",
                  "Stage 2 RPM Trigger is 7000 RPM; it must be below the RPM Cutoff (6000 RPM).",
              }));
    // What a form marks: the control, on its stage.
    EXPECT_TRUE(HasProblem(problems, ids::kInput2, 1));
    EXPECT_TRUE(HasProblem(problems, ids::kRpmCutoff, 0));
    EXPECT_FALSE(HasProblem(problems, ids::kRpmCutoff, 1));
    EXPECT_TRUE(HasProblem(problems, ids::kGraph, 0));
    EXPECT_TRUE(HasProblem(problems, ids::kRpmTrigger, 1));
    EXPECT_FALSE(HasProblem(problems, ids::kRpmTrigger, 0));

    // A key that did not fit stops being a problem once its setting is given another value.
    ConfigDocument edited = doc;
    edited.record.stage[0].Frequency = 20;
    EXPECT_EQ(CheckConfiguration(edited, &file).size(), problems.size() - 1);

    CorrectConfiguration(doc, &file);
    EXPECT_TRUE(CheckConfiguration(doc, &file).empty());
    const ControllerConfig& c = doc.record;
    EXPECT_EQ(c.Input_Type2, 1);  // the default
    EXPECT_EQ(c.stage[0].RPM_Max, 20000);
    EXPECT_EQ(c.stage[0].RPM_Trigger, 3000);
    EXPECT_EQ(c.stage[0].Frequency, 60);
    EXPECT_DOUBLE_EQ(doc.displayPressures[PressureIndex(0, PressureField::MAP_End)],
                     doc.displayPressures[PressureIndex(0, PressureField::MAP_Max)]);
    EXPECT_EQ(c.stage[0].Ramp_Time, 0);  // no number: what the record holds
    EXPECT_EQ(c.stage[0].Percent[3], 100);
    EXPECT_EQ(c.stage[0].Percent[4], 0);
    EXPECT_EQ(c.stage[1].RPM_Trigger, 5999);
    EXPECT_EQ(c.stage[1].RPM_Max, 6000);
}

TEST(UploadCheck, AConfigurationTheFormMadeIsCleanAndLeftAlone) {
    ConfigDocument sample = test::SampleConfigDocument();
    ConfigDocument defaults = ReadConfigText("[Zentrik Config]\n").document;
    // At the ends of the psi ranges, then switched to bar as the form converts: a hair
    // outside bar's own ranges.
    ConfigDocument converted = sample;
    converted.displayPressures = {-14.7, -14.7, 85.0, 84.9, 85.0, 85.0};
    SetMAP_In_bar(converted.record, true);
    for (double& p : converted.displayPressures) {
        p *= kPsiToBar;
    }
    for (ConfigDocument* doc : {&sample, &defaults, &converted}) {
        EXPECT_EQ(Texts(CheckConfiguration(*doc)), std::vector<std::string>{});
        const ConfigDocument before = *doc;
        CorrectConfiguration(*doc);
        EXPECT_EQ(std::memcmp(&doc->record, &before.record, sizeof before.record), 0);
        EXPECT_EQ(doc->displayPressures, before.displayPressures);
    }
}

TEST(UploadCheck, WhateverARecordHoldsTheCorrectionLeavesNothingToFind) {
    std::mt19937 random(23);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_real_distribution<double> pressure(-120.0, 120.0);
    for (int run = 0; run < 300; ++run) {
        SCOPED_TRACE(run);
        ConfigDocument doc;
        auto* bytes = reinterpret_cast<std::uint8_t*>(&doc.record);
        for (std::size_t i = 0; i < sizeof doc.record; ++i) {
            bytes[i] = static_cast<std::uint8_t>(byte(random));
        }
        for (double& p : doc.displayPressures) {
            p = pressure(random) / (MAP_In_bar(doc.record) ? 14.0 : 1.0);
        }
        CorrectConfiguration(doc);
        ASSERT_EQ(Texts(CheckConfiguration(doc)), std::vector<std::string>{});
    }
}

TEST(UploadCheck, ATriggerTheFileWouldPutOnItsCutoffIsAProblemUntilCorrected) {
    // 2.004 psi is kept as 2.00 by a file, where a trigger of 2.0 would no longer be below it.
    ConfigDocument doc =
        ReadConfigText(
            "[Zentrik Config]\nStage 1 MAP Trigger=2\nStage 1 MAP End=2\nStage 1 MAP Max=2.004\n")
            .document;
    EXPECT_EQ(Texts(CheckConfiguration(doc)),
              std::vector<std::string>{
                  "Stage 1 MAP Trigger is 2.0 psi; it must be below the MAP Cutoff (2.0 psi)."});
    CorrectConfiguration(doc);
    EXPECT_EQ(Texts(CheckConfiguration(ReadConfigText(ConfigFileText(doc, "2000-01-01")).document)),
              std::vector<std::string>{});
}

}  // namespace
}  // namespace zentrik
