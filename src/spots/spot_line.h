#pragma once

#include <string>
#include <string_view>

#include "core/country_table.h"

namespace wexon::spots {

// The fixed columns of a cluster spot line ("DX de W1XX:     14025.0  JA1XYZ ...").
struct SpotFields {
    std::string frequencyText; // kHz, the 9 characters from position 16, trimmed
    std::string call;          // the 13 characters from position 27, trimmed
    std::string spotText;      // the line without its first 3 characters, trimmed
};

// Characters `start` (1-based) on, at most `count` of them; empty past the end.
std::string_view midText(std::string_view text, std::size_t start,
                         std::size_t count = std::string_view::npos);

// True when the text begins with "DX", in any case.
bool beginsWithDx(std::string_view line);

// Case-insensitive search from a 0-based position; npos when absent.
std::size_t findIgnoreCase(std::string_view haystack, std::string_view needle,
                           std::size_t from = 0);

// The columns of a spot line; short lines give empty fields.
SpotFields spotFields(std::string_view line);

// The prefix a band-map label shows for a call: "K1ABC" -> "K1", "DL/K1ABC" -> "DL",
// "K1ABC/4" -> "K4", "K1ABC/P" -> "P"; calls shorter than 3 characters give "".
std::string spotLabelText(std::string_view call);

// The country of a spotted call by the longest matching prefix of the country
// table ("" when none matches). A portable suffix of 2 or more characters that is
// shorter than half the call is looked up instead of the call.
std::string countryForSpot(const core::CountryTable& table, std::string_view call);

} // namespace wexon::spots
