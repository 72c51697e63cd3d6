#include "config/ini_file.h"

namespace zentrik {

namespace {

constexpr std::string_view kBlanks = " \t\r\v\f";
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kCrLf = "\r\n";

bool IsBlank(char c) {
    return kBlanks.find(c) != std::string_view::npos;
}

char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// [begin, end) narrowed to exclude blanks at both ends.
void TrimRange(const std::string& text, std::size_t& begin, std::size_t& end) {
    while (begin < end && IsBlank(text[begin])) {
        ++begin;
    }
    while (end > begin && IsBlank(text[end - 1])) {
        --end;
    }
}

bool HasLineBreakOrNul(std::string_view text) {
    return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

bool IsTrimmedName(std::string_view name) {
    return !name.empty() && !IsBlank(name.front()) && !IsBlank(name.back());
}

}  // namespace

bool NamesEqual(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (AsciiLower(a[i]) != AsciiLower(b[i])) {
            return false;
        }
    }
    return true;
}

void IniFile::Parse(std::string_view bytes) {
    m_lines.clear();
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        const std::size_t lf = bytes.find('\n', pos);
        Line line;
        if (lf == std::string_view::npos) {
            line.text.assign(bytes.substr(pos));
            pos = bytes.size();
        } else {
            std::size_t end = lf;
            if (end > pos && bytes[end - 1] == '\r') {
                --end;
                line.eol = kCrLf;
            } else {
                line.eol = "\n";
            }
            line.text.assign(bytes.substr(pos, end - pos));
            pos = lf + 1;
        }
        Classify(line, m_lines.empty());
        m_lines.push_back(std::move(line));
    }
}

void IniFile::Classify(Line& line, bool firstLine) {
    const std::string& t = line.text;
    line.kind = Kind::Other;
    std::size_t begin = 0;
    if (firstLine && t.starts_with(kUtf8Bom)) {
        begin = kUtf8Bom.size();  // an editor's byte-order mark is not part of the first line
    }
    std::size_t end = t.size();
    TrimRange(t, begin, end);
    if (begin == end) {
        return;
    }
    if (t[begin] == '[') {
        std::size_t nameBegin = begin + 1;
        std::size_t nameEnd = end;
        const std::size_t close = t.rfind(']', end - 1);
        if (close != std::string::npos && close >= nameBegin) {
            nameEnd = close;
        }
        TrimRange(t, nameBegin, nameEnd);
        line.kind = Kind::Section;
        line.nameBegin = nameBegin;
        line.nameEnd = nameEnd;
        return;
    }
    if (t[begin] == ';') {
        return;
    }
    const std::size_t eq = t.find('=', begin);
    if (eq == std::string::npos || eq >= end) {
        return;
    }
    std::size_t nameEnd = eq;
    std::size_t nameBegin = begin;
    TrimRange(t, nameBegin, nameEnd);
    std::size_t valueBegin = eq + 1;
    std::size_t valueEnd = t.size();
    TrimRange(t, valueBegin, valueEnd);
    line.kind = Kind::Key;
    line.nameBegin = nameBegin;
    line.nameEnd = nameEnd;
    line.valueBegin = valueBegin;
    line.valueEnd = valueEnd;
}

std::string_view IniFile::Name(const Line& line) {
    return std::string_view(line.text).substr(line.nameBegin, line.nameEnd - line.nameBegin);
}

std::string IniFile::Serialize() const {
    std::size_t size = 0;
    for (const Line& line : m_lines) {
        size += line.text.size() + line.eol.size();
    }
    std::string out;
    out.reserve(size);
    for (const Line& line : m_lines) {
        out += line.text;
        out += line.eol;
    }
    return out;
}

std::optional<std::size_t> IniFile::FindSection(std::string_view section) const {
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        if (m_lines[i].kind == Kind::Section && NamesEqual(Name(m_lines[i]), section)) {
            return i;
        }
    }
    return std::nullopt;
}

std::optional<std::size_t> IniFile::FindKey(std::size_t sectionLine, std::string_view key) const {
    for (std::size_t i = sectionLine + 1; i < m_lines.size(); ++i) {
        const Line& line = m_lines[i];
        if (line.kind == Kind::Section) {
            break;
        }
        if (line.kind == Kind::Key && NamesEqual(Name(line), key)) {
            return i;
        }
    }
    return std::nullopt;
}

std::optional<std::string_view> IniFile::Value(std::string_view section,
                                               std::string_view key) const {
    const auto sectionLine = FindSection(section);
    if (!sectionLine) {
        return std::nullopt;
    }
    const auto keyLine = FindKey(*sectionLine, key);
    if (!keyLine) {
        return std::nullopt;
    }
    const Line& line = m_lines[*keyLine];
    return std::string_view(line.text).substr(line.valueBegin, line.valueEnd - line.valueBegin);
}

std::string_view IniFile::NewLineEnding() const {
    for (const Line& line : m_lines) {
        if (!line.eol.empty()) {
            return line.eol;
        }
    }
    return kCrLf;
}

void IniFile::EnsureLastLineEnded() {
    if (!m_lines.empty() && m_lines.back().eol.empty()) {
        m_lines.back().eol = NewLineEnding();
    }
}

void IniFile::InsertLine(std::size_t index, std::string text) {
    Line line;
    line.text = std::move(text);
    line.eol = NewLineEnding();
    Classify(line, index == 0);
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(index), std::move(line));
}

bool IniFile::SetValue(std::string_view section, std::string_view key, std::string_view value) {
    if (!IsTrimmedName(section) || HasLineBreakOrNul(section) ||
        section.find(']') != std::string_view::npos) {
        return false;
    }
    if (!IsTrimmedName(key) || HasLineBreakOrNul(key) || key.find('=') != std::string_view::npos ||
        key.front() == ';' || key.front() == '[') {
        return false;
    }
    if (HasLineBreakOrNul(value)) {
        return false;
    }
    std::string keyLine;
    keyLine.reserve(key.size() + 1 + value.size());
    keyLine.append(key).append("=").append(value);

    const auto sectionLine = FindSection(section);
    if (!sectionLine) {
        EnsureLastLineEnded();
        std::string header;
        header.reserve(section.size() + 2);
        header.append(1, '[').append(section).append(1, ']');
        InsertLine(m_lines.size(), std::move(header));
        InsertLine(m_lines.size(), std::move(keyLine));
        return true;
    }
    if (const auto existing = FindKey(*sectionLine, key)) {
        Line& line = m_lines[*existing];
        line.text.resize(line.valueBegin);
        line.text.append(value);
        Classify(line, *existing == 0);
        return true;
    }
    // After the last key line of the section, so that comments and blank lines separating it
    // from the next section stay where they are.
    std::size_t after = *sectionLine;
    for (std::size_t i = *sectionLine + 1; i < m_lines.size(); ++i) {
        if (m_lines[i].kind == Kind::Section) {
            break;
        }
        if (m_lines[i].kind == Kind::Key) {
            after = i;
        }
    }
    if (m_lines[after].eol.empty()) {
        m_lines[after].eol = NewLineEnding();
    }
    InsertLine(after + 1, std::move(keyLine));
    return true;
}

}  // namespace zentrik
