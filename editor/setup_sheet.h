#pragma once

#include <optional>
#include <string>

#include "config/config_document.h"
#include "link/controller_link.h"

namespace zentrik {

// What the sheet says besides the configuration itself.
struct SheetContext {
    std::string date;        // the day it is made (YYYY-MM-DD)
    std::string configFile;  // the configuration file's path; empty when there is none
    // The controller's serial number and firmware version, when known.
    std::optional<ControllerIdentity> controller;
};

// The size the sheet's curve drawings are laid out for, in the graph's pixels: the graph's own
// geometry (CurveGraphModel) at this size gives every line, point and marker of them.
inline constexpr int kSheetGraphWidth = 640;
inline constexpr int kSheetGraphHeight = 200;

// The setup sheet: one self-contained HTML page (styles inline, no outside resource) with one
// printed page per stage. Each page names the sheet, the date, the configuration file's name
// and the controller when they are known, lists the settings of both stages and of its stage in
// the form's words and units, draws its stage's curve as an SVG graph and lists the curve's
// 20 points with their x values and percents. Every text is escaped for HTML.
std::string SetupSheetHtml(const ConfigDocument& doc, const SheetContext& context);

// Writes the sheet to the file, replacing it whole or not at all. False when it could not be
// written.
bool WriteSetupSheet(const std::string& path, const ConfigDocument& doc,
                     const SheetContext& context);

}  // namespace zentrik
