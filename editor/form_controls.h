#pragma once

#include <span>
#include <string>
#include <vector>

namespace zentrik {

enum class ControlKind { GroupBox, Label, CheckBox, List, NumericEdit, Button, Graph };
enum class TextAlign { Left, Right, Centre };

// One control of the form as its template lays it out: position and size in dialog units
// (x, y, width, height), kind, caption and list entries. Controls without an id (-1: the group
// boxes and fixed labels) carry a name instead, for windows that find controls by name.
struct FormControlSpec {
    int id;
    const char* name;
    ControlKind kind;
    const char* caption;
    int x, y, width, height;
    TextAlign align = TextAlign::Left;
    bool hiddenAtStart = false;
    bool textOnLeft = false;  // a check box whose text stands left of the box
};

// Every control of the form in template order (the order a keyboard user tabs through, the
// group boxes before their contents). The form's template is 354 x 304 dialog units.
std::span<const FormControlSpec> FormControls();
const FormControlSpec* FindFormControl(int id);

inline constexpr int kFormWidthDlu = 354;
inline constexpr int kFormHeightDlu = 304;

// The entries of a list, in order (the multiplier list's come from the record's table).
std::vector<std::string> ListEntries(int id);

}  // namespace zentrik
