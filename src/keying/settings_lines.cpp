#include "keying/settings_lines.h"

#include <cmath>

#include "core/number_format.h"
#include "core/text_util.h"

namespace wexon::keying {

SettingsLines::SettingsLines(std::string_view bytes) {
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        std::size_t end = bytes.find('\n', pos);
        std::size_t next = end == std::string_view::npos ? bytes.size() : end + 1;
        std::string_view line = bytes.substr(pos, next - pos);
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) {
            line.remove_suffix(1);
        }
        m_lines.emplace_back(line.substr(0, kMaxValueLength * 2 + 2));
        pos = next;
    }
}

std::optional<std::string> SettingsLines::text(std::size_t index) const {
    if (index >= m_lines.size()) {
        return std::nullopt;
    }
    std::string_view line = m_lines[index];
    std::size_t start = 0;
    while (start < line.size() && (line[start] == ' ' || line[start] == '\t')) {
        ++start;
    }
    std::string out;
    if (start < line.size() && line[start] == '"') {
        // Quoted text: ends at a single quote; a doubled quote is one quote.
        // A missing closing quote ends the text at the end of the line.
        for (std::size_t i = start + 1; i < line.size(); ++i) {
            if (line[i] == '"') {
                if (i + 1 < line.size() && line[i + 1] == '"') {
                    out += '"';
                    ++i;
                    continue;
                }
                break;
            }
            out += line[i];
        }
    } else {
        out = core::trim(line.substr(start));
        // A bare value ends at a comma, as in the quoted form.
        std::size_t comma = out.find(',');
        if (comma != std::string::npos) {
            out = core::trim(out.substr(0, comma));
        }
    }
    if (out.size() > kMaxValueLength) {
        out.resize(kMaxValueLength);
    }
    // A carriage return inside a value is a blank, as the writer stores one,
    // so what is read writes back and reads the same.
    for (char& c : out) {
        if (c == '\r') {
            c = ' ';
        }
    }
    return out;
}

std::optional<long long> SettingsLines::integer(std::size_t index) const {
    auto value = text(index);
    if (!value) {
        return std::nullopt;
    }
    auto number = core::parseNumber(*value);
    if (!number || std::fabs(*number) > 1e12) {
        return std::nullopt;
    }
    return std::llround(*number);
}

std::string SettingsLines::quotedLine(std::string_view value) {
    std::string out = "\"";
    for (char c : value.substr(0, kMaxValueLength)) {
        if (c == '"') {
            out += "\"\"";
        } else if (c == '\r' || c == '\n') {
            out += ' ';
        } else {
            out += c;
        }
    }
    out += "\"\r\n";
    return out;
}

std::string SettingsLines::numberLine(long long value) {
    return std::to_string(value) + "\r\n";
}

} // namespace wexon::keying
