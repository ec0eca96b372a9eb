#pragma once

#include <array>
#include <cstddef>
#include <deque>
#include <string>
#include <string_view>

#include "spots/spot_store.h"

namespace wexon::spots {

// One row of the spot list, in column order.
struct SpotListRow {
    std::string call;
    std::string frequency; // MHz, shortest text
    std::string country;
    std::string status; // the mark in words ("new prefix JA1", "dupe", "3 skimmers")
    std::string comments;
    std::string prefix;
    std::string time;
    std::string from;
    SpotMark mark;
};

// The list columns: header and design width in twips (Status is hidden).
struct SpotListColumn {
    const char* header;
    int width;
};
inline constexpr std::array<SpotListColumn, 8> kSpotListColumns{{
    {"Call", 1040},
    {"Frequency", 880},
    {"QTH", 2000},
    {"Status", 2200},
    {"Comments", 3400},
    {"Prefix", 520},
    {"Time", 600},
    {"From", 520},
}};

// Builds a row from a stored spot: the spot text is the line without its first
// three characters, already cut at its first line end.
SpotListRow makeSpotListRow(std::string_view call, float mhz, std::string_view country,
                            std::string_view spotText);

// The spot list's rows, newest first, never more than 200.
class SpotList {
  public:
    static constexpr std::size_t kMaxRows = 200;

    // Puts the row on top; the bottom row goes when the list is full.
    void push(SpotListRow row);
    std::size_t size() const { return m_rows.size(); }
    const SpotListRow& row(std::size_t index) const { return m_rows[index]; }
    SpotListRow& row(std::size_t index) { return m_rows[index]; }
    // The newest row of a call (ignoring case), or size() when none is listed.
    std::size_t findCall(std::string_view call) const;

  private:
    std::deque<SpotListRow> m_rows;
};

} // namespace wexon::spots
