#include "shell/edit_commands.h"

#include "base/text_format.h"
#include "editor/editor_texts.h"
#include "editor/stage_form.h"
#include "shell/shell_texts.h"

namespace zentrik {

namespace texts = shell_texts;

namespace {

const char* StageName(int stage) {
    return stage == 0 ? editor_texts::kStage1 : editor_texts::kStage2;
}

}  // namespace

EditCommands::EditCommands(AskNumber ask)
    : m_ask(std::move(ask)), m_lastScale(texts::kScaleInitial), m_lastAdd(texts::kAddInitial) {}

bool EditCommands::Handles(int id) {
    return id >= texts::kIdEditUndo && id <= texts::kIdCopyAllSettings;
}

bool EditCommands::Enabled(int id) const {
    if (m_form == nullptr) {
        return false;
    }
    const CurveTools& tools = m_form->Tools();
    switch (id) {
        case texts::kIdEditUndo:
            return tools.UndoReady();
        case texts::kIdEditRedo:
            return tools.RedoReady();
        case texts::kIdCopyAllSettings:
            return true;
        default:
            return tools.CurveShown();  // the commands on the curve on display
    }
}

std::optional<double> EditCommands::Ask(const char* caption, const char* label, std::string& last,
                                        AmountRange range) {
    NumberPrompt prompt{caption, label, last, {}};
    for (;;) {
        const std::optional<std::string> text = m_ask(prompt);
        if (!text) {
            return std::nullopt;
        }
        if (const std::optional<double> value = ParseAmount(*text, range)) {
            last = *text;
            return value;
        }
        prompt.text = *text;
        prompt.error = texts::kNotANumber;
    }
}

std::optional<std::string> EditCommands::Run(int id) {
    if (!Handles(id) || !Enabled(id)) {
        return std::nullopt;  // a shortcut or a stale click while the command is disabled
    }
    CurveTools& tools = m_form->Tools();
    const char* other = StageName(1 - m_form->CurrentStage());
    switch (id) {
        case texts::kIdEditUndo:
            m_form->UndoFromKeyboard();
            break;
        case texts::kIdEditRedo:
            m_form->RedoFromKeyboard();
            break;
        case texts::kIdScalePoints:
            if (const auto factor =
                    Ask(texts::kScaleCaption, texts::kScaleLabel, m_lastScale, kScaleFactorRange);
                factor && Enabled(id)) {
                tools.ScalePoints(*factor);
            }
            break;
        case texts::kIdAddToPoints:
            if (const auto amount =
                    Ask(texts::kAddCaption, texts::kAddLabel, m_lastAdd, kAddAmountRange);
                amount && Enabled(id)) {
                tools.AddToPoints(*amount);  // the form may have changed while the box was up
            }
            break;
        case texts::kIdInterpolatePoints:
            tools.InterpolatePoints();
            break;
        case texts::kIdCopyCurve:
            tools.CopyCurveToOtherStage();
            return FormatText(texts::kCurveCopiedFormat, other);
        case texts::kIdCopyAllSettings:
            tools.CopyAllSettingsToOtherStage();
            return FormatText(texts::kSettingsCopiedFormat, other);
        default:
            break;
    }
    return std::nullopt;
}

}  // namespace zentrik
