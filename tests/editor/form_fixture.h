#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "config/app_settings.h"
#include "config/config_document.h"
#include "editor/control_ids.h"
#include "editor/stage_form.h"
#include "support/sample_document_test.h"

namespace zentrik::test {

// The form's behaviour over the sample document, with helpers that act as a user would
// through a window: pick a list entry, click, type a value and press Enter.
class FormTest : public SampleDocumentTest {
  protected:
    void Build() {
        m_form = std::make_unique<StageForm>(m_doc, m_settings);
        m_form->OnInitialUpdate();
    }

    void Pick(int id, int index) { m_form->OnListSelected(id, index); }
    // A check box toggles, a button is pressed.
    void Click(int id) {
        namespace ids = control_ids;
        if (id == ids::kStagePresent || id == ids::kRpmPresent || id == ids::kLockout ||
            id == ids::kSmoothWhenDragging) {
            m_form->OnCheckClicked(id, !m_form->Control(id).checked);
        } else {
            m_form->OnButtonClicked(id);
        }
    }
    // Types into a field and presses Enter.
    void Enter(int id, const std::string& text) { m_form->OnFieldTyped(id, text); }
    // What a field shows while it is not being edited; a label's text.
    std::string Shown(int id) { return m_form->Field(id).Text(true); }
    std::string Text(int id) { return m_form->Control(id).text; }
    bool Hidden(int id) { return !m_form->Control(id).shown; }
    const CurveGraphModel& Graph() { return m_form->Graph(); }

    AppSettings m_settings;
    std::unique_ptr<StageForm> m_form;
};

}  // namespace zentrik::test
