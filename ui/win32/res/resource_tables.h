#pragma once

#include <array>
#include <span>
#include <string_view>

#include "editor/editor_texts.h"
#include "ui/win32/res/resource_ids.h"

// What the resource script cannot hold. windres knows no TOOLBAR resource, so toolbar 137 is
// this table of buttons with the two image strips; and a dialog template carries no list
// entries, so the form fills its drop-down lists from the tables below when it initialises.
namespace zentrik::win32_res {

// Toolbar 137: the buttons in order. Image i of bitmaps 141 (disabled) and 142 (normal) is
// button i's.
inline constexpr std::array<int, 4> kToolbarButtons = {
    ID_CONTROLLER_CONNECTION, ID_CONTROLLER_UPLOAD, ID_CONTROLLER_DOWNLOAD, ID_CONTROLLER_INFO};
inline constexpr int kToolbarImageWidth = 85;
inline constexpr int kToolbarImageHeight = 31;
// The strips' background; the image lists take it as their mask colour.
struct Rgb {
    unsigned char red;
    unsigned char green;
    unsigned char blue;
};
inline constexpr Rgb kToolbarMaskColour{190, 190, 190};
// Bitmap id + IDB_DOUBLE_SIZE_OFFSET: the same picture at twice the size, for 192 dpi.
inline constexpr int kDoubleSizeScale = 2;

// The entries of the form's drop-down lists, in list order (texts in UTF-8).
struct FormList {
    int id;
    std::span<const std::string_view> entries;
};

inline constexpr std::string_view kInput2Entries[] = {editor_texts::kActivate12Volts,
                                                      editor_texts::kActivateGround};
inline constexpr std::string_view kMapUnitsEntries[] = {editor_texts::kPsi, editor_texts::kBar};
inline constexpr std::string_view kStageEntries[] = {editor_texts::kStage1, editor_texts::kStage2};
inline constexpr std::string_view kTypeEntries[] = {editor_texts::kMapBased,
                                                    editor_texts::kTimeBased};
inline constexpr std::string_view kInput2WillEntries[] = {
    editor_texts::kBeIgnoredBy, editor_texts::kEnable, editor_texts::kDisable};

inline constexpr FormList kFormLists[] = {
    {IDC_INPUT2, kInput2Entries}, {IDC_MAP_UNITS, kMapUnitsEntries},     {IDC_STAGE, kStageEntries},
    {IDC_TYPE, kTypeEntries},     {IDC_INPUT2_WILL, kInput2WillEntries},
};
// The Multiplier list's 28 entries are the texts of RpmMultiplierChoices() (config/), in
// that order, since each entry's place stands for its record value.
inline constexpr int kMultiplierList = IDC_MULTIPLIER;

}  // namespace zentrik::win32_res
