#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zentrik {

// An INI file held as its lines, read and written with the rules of the Windows private
// profile functions:
//  - a line whose first non-blank character is '[' opens a section; the name runs to the
//    last ']' (or the end of the line) and is trimmed;
//  - inside a section, a line holding '=' is a key line: the key is the trimmed text before
//    the first '=', the value the trimmed text after it; a line starting with ';' is a
//    comment;
//  - section and key names match case-insensitively (ASCII); the first matching section and,
//    within it, the first matching key win;
//  - every other line (blank lines, comments, text without '=', keys before any section,
//    binary junk) is kept byte for byte and never matched.
// Lines end in LF or CRLF; each line keeps its own ending. Lines we add use the ending of the
// file's first line break, or CRLF (what the Windows functions write) when there is none yet.
// Serialize() of an unmodified file returns exactly the bytes given to Parse().
class IniFile {
  public:
    IniFile() = default;
    explicit IniFile(std::string_view bytes) { Parse(bytes); }

    void Parse(std::string_view bytes);
    std::string Serialize() const;

    // The trimmed value of the key, or nothing when the section or key is missing.
    std::optional<std::string_view> Value(std::string_view section, std::string_view key) const;
    // Whether a section of that name is in the file (it may hold no keys).
    bool HasSection(std::string_view section) const { return FindSection(section).has_value(); }

    // Replaces the value of the first matching key in place (the text up to the value is kept),
    // or adds "key=value" after the last key line of the section, or adds the section with the
    // key at the end of the file. Returns false, changing nothing, when the names or the value
    // cannot be stored on one line (line breaks, NUL, an '=' in the key, blanks around names,
    // an empty name, a ']' in the section name).
    bool SetValue(std::string_view section, std::string_view key, std::string_view value);

    // The line ending used for added lines.
    std::string_view NewLineEnding() const;

    std::size_t LineCount() const { return m_lines.size(); }

  private:
    enum class Kind : std::uint8_t { Other, Section, Key };
    struct Line {
        std::string text;  // without the line ending
        std::string eol;   // "", "\n" or "\r\n"
        Kind kind = Kind::Other;
        std::size_t nameBegin = 0;  // section or key name (trimmed)
        std::size_t nameEnd = 0;
        std::size_t valueBegin = 0;  // key lines: value start, after '=' and blanks
        std::size_t valueEnd = 0;    // key lines: end of the trimmed value
    };

    static void Classify(Line& line, bool firstLine);
    static std::string_view Name(const Line& line);
    std::optional<std::size_t> FindSection(std::string_view section) const;
    std::optional<std::size_t> FindKey(std::size_t sectionLine, std::string_view key) const;
    void EnsureLastLineEnded();
    void InsertLine(std::size_t index, std::string text);

    std::vector<Line> m_lines;
};

// Case-insensitive ASCII comparison of names.
bool NamesEqual(std::string_view a, std::string_view b);

}  // namespace zentrik
