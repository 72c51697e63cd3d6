#include "windows/resources/dialog_template.h"

#include <cstring>

namespace zentrik::test {
namespace {

// Reads little-endian fields from the resource bytes and notes the first read past their end.
class TemplateReader {
  public:
    TemplateReader(const BYTE* data, DWORD size) : m_data(data), m_size(size) {}

    bool Failed() const { return m_failed; }
    DWORD Offset() const { return m_offset; }

    template <typename T>
    T Read() {
        T value{};
        if (!Take(sizeof(T))) {
            return value;
        }
        std::memcpy(&value, m_data + m_offset - sizeof(T), sizeof(T));
        return value;
    }

    std::wstring ReadString() {
        std::wstring text;
        for (WORD c = Read<WORD>(); c != 0 && !m_failed; c = Read<WORD>()) {
            text.push_back(static_cast<wchar_t>(c));
        }
        return text;
    }

    // A name or a number: 0 for none, 0xFFFF and the number, else a string.
    void ReadNameOrOrdinal(std::wstring* name, int* ordinal) {
        const WORD first = Read<WORD>();
        if (first == 0xFFFF) {
            *ordinal = Read<WORD>();
        } else if (first != 0) {
            name->push_back(static_cast<wchar_t>(first));
            *name += ReadString();
        }
    }

    void Skip(DWORD bytes) { Take(bytes); }
    void AlignToDword() { Take((4 - m_offset % 4) % 4); }

  private:
    bool Take(DWORD bytes) {
        if (m_failed || m_size - m_offset < bytes) {
            m_failed = true;
            return false;
        }
        m_offset += bytes;
        return true;
    }

    const BYTE* m_data;
    DWORD m_size;
    DWORD m_offset = 0;
    bool m_failed = false;
};

// The classes a template may name by number.
std::wstring PredefinedClass(int atom) {
    switch (atom) {
        case 0x80:
            return L"Button";
        case 0x81:
            return L"Edit";
        case 0x82:
            return L"Static";
        case 0x83:
            return L"ListBox";
        case 0x84:
            return L"ScrollBar";
        case 0x85:
            return L"ComboBox";
        default:
            return L"#" + std::to_wstring(atom);
    }
}

DialogItem ReadItem(TemplateReader& in, bool extended) {
    DialogItem item;
    in.AlignToDword();
    if (extended) {
        in.Read<DWORD>();  // help id
        item.exStyle = in.Read<DWORD>();
        item.style = in.Read<DWORD>();
    } else {
        item.style = in.Read<DWORD>();
        item.exStyle = in.Read<DWORD>();
    }
    item.x = in.Read<short>();
    item.y = in.Read<short>();
    item.cx = in.Read<short>();
    item.cy = in.Read<short>();
    // IDC_STATIC is -1 in either width.
    item.id = extended ? static_cast<int>(in.Read<DWORD>()) : in.Read<short>();
    int classAtom = -1;
    in.ReadNameOrOrdinal(&item.className, &classAtom);
    if (classAtom >= 0) {
        item.className = PredefinedClass(classAtom);
    }
    in.ReadNameOrOrdinal(&item.text, &item.textOrdinal);
    in.Skip(in.Read<WORD>());  // creation data
    return item;
}

}  // namespace

std::optional<DialogTemplate> ReadDialogTemplate(HMODULE module, int id, std::string* error) {
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(5));  // RT_DIALOG
    HGLOBAL loaded = found != nullptr ? LoadResource(module, found) : nullptr;
    const auto* data = static_cast<const BYTE*>(loaded != nullptr ? LockResource(loaded) : nullptr);
    if (data == nullptr) {
        *error = "no dialog resource " + std::to_string(id);
        return std::nullopt;
    }
    TemplateReader in(data, SizeofResource(module, found));

    DialogTemplate dialog;
    const WORD first = in.Read<WORD>();
    const WORD second = in.Read<WORD>();
    dialog.extended = first == 1 && second == 0xFFFF;
    WORD count = 0;
    if (dialog.extended) {
        in.Read<DWORD>();  // help id
        dialog.exStyle = in.Read<DWORD>();
        dialog.style = in.Read<DWORD>();
    } else {
        dialog.style = MAKELONG(first, second);
        dialog.exStyle = in.Read<DWORD>();
    }
    count = in.Read<WORD>();
    dialog.x = in.Read<short>();
    dialog.y = in.Read<short>();
    dialog.cx = in.Read<short>();
    dialog.cy = in.Read<short>();
    std::wstring name;
    int ordinal = -1;
    in.ReadNameOrOrdinal(&name, &ordinal);
    dialog.hasMenu = !name.empty() || ordinal >= 0;
    name.clear();
    ordinal = -1;
    in.ReadNameOrOrdinal(&name, &ordinal);
    dialog.hasClass = !name.empty() || ordinal >= 0;
    dialog.caption = in.ReadString();
    if (dialog.style & (DS_SETFONT | DS_SHELLFONT)) {
        dialog.pointSize = in.Read<WORD>();
        if (dialog.extended) {
            in.Read<WORD>();  // weight
            in.Read<BYTE>();  // italic
            in.Read<BYTE>();  // character set
        }
        dialog.typeface = in.ReadString();
    }
    for (WORD i = 0; i < count && !in.Failed(); ++i) {
        dialog.items.push_back(ReadItem(in, dialog.extended));
    }
    if (in.Failed()) {
        *error = "dialog resource " + std::to_string(id) + " ends early, at byte " +
                 std::to_string(in.Offset());
        return std::nullopt;
    }
    return dialog;
}

}  // namespace zentrik::test
