#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace wexon::core {

// The comma-separated form every settings and data file of the program uses:
// texts in double quotes, numbers bare, values separated by commas or line ends,
// lines ended by CR LF. Texts are 8-bit (Latin-1) bytes.

// Builds one line (or one value per line) of the quoted form.
class FieldWriter {
  public:
    FieldWriter& text(std::string_view value);
    FieldWriter& number(double value);
    FieldWriter& number(float value);
    FieldWriter& integer(long long value);
    // Ends the current line with CR LF.
    FieldWriter& endLine();
    const std::string& str() const { return m_out; }

  private:
    void separate();
    std::string m_out;
    bool m_lineStarted = false;
};

// A text as the quoted form writes it. A double quote cannot be represented
// inside a text, so it is dropped rather than breaking the field apart; line
// breaks become blanks so that one record stays on one line.
std::string quoteText(std::string_view value);

// Reads the quoted form value by value, treating commas and line ends alike, so a
// record whose line is short takes its remaining values from the next line. A
// comma directly before a line end (or the end of the data) is followed by an
// empty value: the line's last field is empty, and the next line's first value
// stays with the next record.
class FieldReader {
  public:
    // Longest value kept; longer values are cut, never allowed to grow without bound.
    static constexpr std::size_t kMaxFieldLength = 4096;

    // A UTF-8 byte-order mark at the very start (an editor may add one) is
    // not part of the first value and is passed over.
    explicit FieldReader(std::string_view data);

    // True when nothing but blanks and line ends remain and no empty value is
    // owed to a comma that ended a line.
    bool atEnd();
    // Reads the next value into `out`. Returns false at the end of the data.
    // A quoted value ends at its closing quote or, when the quote is never
    // closed, at the end of its line; anything between the closing quote and the
    // next separator is ignored. An unquoted value is trimmed of blanks.
    bool next(std::string& out);
    // Whether the last value read was enclosed in quotes.
    bool lastWasQuoted() const { return m_lastQuoted; }
    std::size_t position() const { return m_pos; }

  private:
    void skipBlanks();
    void skipSeparator();
    void skipLineEnd();
    std::string_view m_data;
    std::size_t m_pos = 0;
    bool m_lastQuoted = false;
    // The last separator was a comma with only blanks before the line end or
    // the end of the data: the next value is empty.
    bool m_emptyOwed = false;
};

} // namespace wexon::core
