#include "core/quoted_form.h"

#include "core/number_format.h"

#include <algorithm>

namespace wexon::core {

namespace {
bool isBlank(char c) {
    return c == ' ' || c == '\t';
}
bool isLineEnd(char c) {
    return c == '\r' || c == '\n';
}
constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";
} // namespace

std::string quoteText(std::string_view value) {
    std::string out;
    out.reserve(value.size() + 2);
    out.push_back('"');
    for (char c : value) {
        if (c == '"') {
            continue;
        }
        out.push_back(isLineEnd(c) ? ' ' : c);
    }
    out.push_back('"');
    return out;
}

void FieldWriter::separate() {
    if (m_lineStarted) {
        m_out.push_back(',');
    }
    m_lineStarted = true;
}

FieldWriter& FieldWriter::text(std::string_view value) {
    separate();
    m_out += quoteText(value);
    return *this;
}

FieldWriter& FieldWriter::number(double value) {
    separate();
    m_out += formatShortest(value);
    return *this;
}

FieldWriter& FieldWriter::number(float value) {
    separate();
    m_out += formatShortest(value);
    return *this;
}

FieldWriter& FieldWriter::integer(long long value) {
    separate();
    m_out += std::to_string(value);
    return *this;
}

FieldWriter& FieldWriter::endLine() {
    m_out += "\r\n";
    m_lineStarted = false;
    return *this;
}

FieldReader::FieldReader(std::string_view data) : m_data(data) {
    if (m_data.substr(0, kUtf8ByteOrderMark.size()) == kUtf8ByteOrderMark) {
        m_pos = kUtf8ByteOrderMark.size();
    }
}

void FieldReader::skipBlanks() {
    while (m_pos < m_data.size() && isBlank(m_data[m_pos])) {
        ++m_pos;
    }
}

bool FieldReader::atEnd() {
    if (m_emptyOwed) {
        return false;
    }
    while (m_pos < m_data.size() && (isBlank(m_data[m_pos]) || isLineEnd(m_data[m_pos]))) {
        ++m_pos;
    }
    return m_pos >= m_data.size();
}

// Moves past one line end (CR LF, CR or LF) when one stands at the position.
void FieldReader::skipLineEnd() {
    if (m_pos >= m_data.size()) {
        return;
    }
    if (m_data[m_pos] == '\r') {
        ++m_pos;
        if (m_pos < m_data.size() && m_data[m_pos] == '\n') {
            ++m_pos;
        }
    } else if (m_data[m_pos] == '\n') {
        ++m_pos;
    }
}

// Moves past the separator that ends a value: one comma, or one line end,
// together with blanks around it. A comma that only blanks separate from the
// line end owes the line one more, empty value; the line end is left for it.
void FieldReader::skipSeparator() {
    skipBlanks();
    if (m_pos >= m_data.size()) {
        return;
    }
    if (m_data[m_pos] == ',') {
        ++m_pos;
        skipBlanks();
        if (m_pos >= m_data.size() || isLineEnd(m_data[m_pos])) {
            m_emptyOwed = true;
        }
        return;
    }
    skipLineEnd();
}

bool FieldReader::next(std::string& out) {
    out.clear();
    m_lastQuoted = false;
    if (m_emptyOwed) {
        // The empty last value of a line that ended in a comma.
        m_emptyOwed = false;
        skipLineEnd();
        return true;
    }
    // Blank lines between records carry no values.
    while (m_pos < m_data.size() && (isBlank(m_data[m_pos]) || isLineEnd(m_data[m_pos]))) {
        ++m_pos;
    }
    if (m_pos >= m_data.size()) {
        return false;
    }
    if (m_data[m_pos] == '"') {
        m_lastQuoted = true;
        ++m_pos;
        std::size_t end = m_pos;
        while (end < m_data.size() && m_data[end] != '"' && !isLineEnd(m_data[end])) {
            ++end;
        }
        out.assign(m_data.substr(m_pos, std::min(end - m_pos, kMaxFieldLength)));
        m_pos = end;
        if (m_pos < m_data.size() && m_data[m_pos] == '"') {
            ++m_pos;
        }
        // Stray text after the closing quote belongs to no value.
        while (m_pos < m_data.size() && m_data[m_pos] != ',' && !isLineEnd(m_data[m_pos])) {
            ++m_pos;
        }
    } else {
        std::size_t end = m_pos;
        while (end < m_data.size() && m_data[end] != ',' && !isLineEnd(m_data[end])) {
            ++end;
        }
        out.assign(m_data.substr(m_pos, std::min(end - m_pos, kMaxFieldLength)));
        m_pos = end;
        while (!out.empty() && isBlank(out.back())) {
            out.pop_back();
        }
    }
    skipSeparator();
    return true;
}

} // namespace wexon::core
