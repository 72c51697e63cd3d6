#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <iterator>

#include "config/config_document.h"
#include "editor/curve_math.h"
#include "support/sample_config.h"

namespace zentrik::test {

// A test over the sample document, reading and writing it by stage as the form's tests do.
class SampleDocumentTest : public ::testing::Test {
  protected:
    SampleDocumentTest() : m_doc(SampleConfigDocument()) {}

    StageConfig& RecordStage(int s) { return m_doc.record.stage[s]; }
    double& Pressure(int stage, PressureField field) {
        return m_doc.displayPressures[static_cast<std::size_t>(PressureIndex(stage, field))];
    }
    Curve CurveOf(int s) {
        Curve c;
        std::copy(std::begin(RecordStage(s).Percent), std::end(RecordStage(s).Percent), c.begin());
        return c;
    }
    void SetCurveOf(int s, const Curve& c) {
        std::copy(c.begin(), c.end(), std::begin(RecordStage(s).Percent));
    }

    ConfigDocument m_doc;
};

}  // namespace zentrik::test
