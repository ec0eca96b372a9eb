#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace wexon::core {

// Many short texts kept one after another in one block, each found by where
// it ends. A call kept this way costs its characters and four bytes, where a
// std::string of its own costs 32 bytes whatever its length.
class TextList {
  public:
    void reserve(std::size_t count, std::size_t bytes) {
        m_ends.reserve(count);
        m_text.reserve(bytes);
    }
    void push_back(std::string_view text) {
        m_text += text;
        m_ends.push_back(static_cast<std::uint32_t>(m_text.size()));
    }
    void clear() {
        m_text.clear();
        m_ends.clear();
    }
    std::size_t size() const { return m_ends.size(); }
    std::string_view operator[](std::size_t i) const {
        const std::uint32_t begin = i == 0 ? 0 : m_ends[i - 1];
        return std::string_view(m_text).substr(begin, m_ends[i] - begin);
    }

  private:
    std::string m_text;
    std::vector<std::uint32_t> m_ends;
};

} // namespace wexon::core
