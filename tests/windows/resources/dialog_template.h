#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace zentrik::test {

// One control of a dialog template as the resource holds it.
struct DialogItem {
    std::wstring className;  // a predefined class by its name: "Button", "Static", ...
    std::wstring text;
    int textOrdinal = -1;  // a resource number in place of the text (a picture's bitmap)
    int id = 0;
    DWORD style = 0;
    DWORD exStyle = 0;
    short x = 0;
    short y = 0;
    short cx = 0;
    short cy = 0;
};

// A dialog template (DLGTEMPLATE or DLGTEMPLATEEX) read field by field from the resource
// bytes, so that what is checked is the template itself and not what a window made of it.
struct DialogTemplate {
    bool extended = false;
    DWORD style = 0;
    DWORD exStyle = 0;
    short x = 0;
    short y = 0;
    short cx = 0;
    short cy = 0;
    bool hasMenu = false;
    bool hasClass = false;
    std::wstring caption;
    int pointSize = 0;  // with DS_SETFONT only
    std::wstring typeface;
    std::vector<DialogItem> items;
};

// The template of dialog resource `id` of `module`; nothing when it is missing or its bytes
// end early (`error` then says where).
std::optional<DialogTemplate> ReadDialogTemplate(HMODULE module, int id, std::string* error);

}  // namespace zentrik::test
