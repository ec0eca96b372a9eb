#pragma once

#include <string>
#include <string_view>
#include <unordered_map>

namespace wexon::output {

inline constexpr const char* kDxccFileName = "ADIFCnt.txt";

// Country names and their DXCC entity numbers, read from "ADIFCnt.txt": one
// quoted name and one number per line.
class DxccTable {
  public:
    static constexpr std::size_t kMaxPairs = 1000;

    // Reads at most kMaxPairs pairs. A number that does not read as one counts 0
    // (which never matches); reading stops at a pair cut short.
    static DxccTable parse(std::string_view bytes);

    void add(std::string name, int number);
    std::size_t size() const { return m_count; }
    // The number of the first pair whose name equals `country` (trimmed, without
    // regard to case); 0 when there is none, or when the country has two
    // characters or fewer.
    int lookup(std::string_view country) const;

  private:
    // Upper-cased name -> number of its first pair.
    std::unordered_map<std::string, int> m_numbers;
    std::size_t m_count = 0;
};

} // namespace wexon::output
