#pragma once

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/log_file.h"
#include "core/qso_record.h"

// Golden files live in tests/data. Setting WEXON_UPDATE_GOLDEN writes the
// current output over them instead of comparing (look at the diff before
// committing it).
namespace wexon::test {

inline std::string dataPath(const std::string& name) {
    return std::string(WEXON_SOURCE_DIR) + "/tests/data/" + name;
}

inline std::string readData(const std::string& name) {
    std::ifstream in(dataPath(name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline std::vector<core::QsoRecord> smallLog() {
    return core::parseLog(readData("small_log.txt")).records;
}

inline void expectGolden(const std::string& name, const std::string& actual) {
    if (std::getenv("WEXON_UPDATE_GOLDEN") != nullptr) {
        std::ofstream out(dataPath(name), std::ios::binary | std::ios::trunc);
        out << actual;
        return;
    }
    std::string expected = readData(name);
    ASSERT_FALSE(expected.empty()) << "missing golden file " << name;
    EXPECT_EQ(actual, expected) << "output differs from tests/data/" << name;
}

} // namespace wexon::test
