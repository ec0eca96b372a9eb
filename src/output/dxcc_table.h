#pragma once

#include <string>
#include <string_view>
#include <vector>

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
    std::size_t size() const { return m_pairs.size(); }
    // The number of the first pair whose name equals `country` (trimmed, without
    // regard to case); 0 when there is none, or when the country has two
    // characters or fewer.
    int lookup(std::string_view country) const;

  private:
    struct Pair {
        std::string upperName;
        int number;
    };
    std::vector<Pair> m_pairs;
};

} // namespace wexon::output
