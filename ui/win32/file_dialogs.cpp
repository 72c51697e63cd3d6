#include "ui/win32/file_dialogs.h"

#include <commdlg.h>

#include <vector>

#include "ui/win32/wide_text.h"

namespace zentrik::win32 {

namespace {

// The filter as the dialogs take it: name, pattern, each ended by a null, then one more.
std::wstring Filter(std::string_view name, std::string_view pattern) {
    std::wstring filter = Wide(name);
    filter.push_back(L'\0');
    filter += Wide(pattern);
    filter.push_back(L'\0');
    return filter;
}

// "*.zcfg" -> "zcfg"; empty for a pattern without one extension.
std::wstring Extension(std::string_view pattern) {
    const std::size_t dot = pattern.rfind('.');
    if (dot == std::string_view::npos ||
        pattern.find_first_of("*?", dot) != std::string_view::npos) {
        return {};
    }
    return Wide(pattern.substr(dot + 1));
}

std::optional<std::string> Run(HWND owner, std::string_view title, std::string_view filterName,
                               std::string_view pattern, std::string_view suggestedName,
                               bool save) {
    std::vector<wchar_t> file(32768, L'\0');
    const std::wstring suggested = Wide(suggestedName);
    suggested.copy(file.data(), file.size() - 1);
    const std::wstring filter = Filter(filterName, pattern);
    const std::wstring caption = Wide(title);
    const std::wstring extension = Extension(pattern);

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrTitle = caption.c_str();
    dialog.Flags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY;
    if (save) {
        dialog.Flags |= OFN_OVERWRITEPROMPT;
        dialog.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
    } else {
        dialog.Flags |= OFN_FILEMUSTEXIST;
    }
    const BOOL chosen = save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog);
    if (!chosen) {
        return std::nullopt;
    }
    return Utf8(file.data());
}

}  // namespace

std::optional<std::string> ChooseExistingFile(HWND owner, std::string_view title,
                                              std::string_view filterName,
                                              std::string_view pattern) {
    return Run(owner, title, filterName, pattern, {}, false);
}

std::optional<std::string> ChooseFileToWrite(HWND owner, std::string_view title,
                                             std::string_view filterName, std::string_view pattern,
                                             std::string_view suggestedName) {
    return Run(owner, title, filterName, pattern, suggestedName, true);
}

}  // namespace zentrik::win32
