// The whole station's Cabrillo file, read back with TrustedQSL's own Cabrillo
// reader (Debian package "trustedqsl", loaded at run time; the test skips
// when it is missing).
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <set>

#include "output/station_cabrillo.h"

namespace wexon::output {
namespace {

struct TqslField {
    char name[65];
    char value[41];
};

class TqslCabrilloReader {
  public:
    TqslCabrilloReader() {
        m_lib = ::dlopen("/usr/lib/trustedqsl/libtqsllib.so", RTLD_NOW | RTLD_LOCAL);
        if (m_lib == nullptr) {
            return;
        }
        m_init = reinterpret_cast<int (*)()>(::dlsym(m_lib, "tqsl_init"));
        m_begin = reinterpret_cast<int (*)(void**, const char*)>(::dlsym(m_lib, "tqsl_beginCabrillo"));
        m_field = reinterpret_cast<int (*)(void*, TqslField*, int*)>(
            ::dlsym(m_lib, "tqsl_getCabrilloField"));
        m_end = reinterpret_cast<int (*)(void**)>(::dlsym(m_lib, "tqsl_endCabrillo"));
        m_home = std::filesystem::temp_directory_path() / ("wexon-tqsl-" + std::to_string(::getpid()));
        std::filesystem::create_directories(m_home);
        ::setenv("TQSLDIR", m_home.c_str(), 1);
        m_ok = m_init && m_begin && m_field && m_end && m_init() == 0;
    }
    ~TqslCabrilloReader() {
        if (m_lib) {
            ::dlclose(m_lib);
        }
        std::filesystem::remove_all(m_home);
    }
    bool available() const { return m_ok; }

    // Every QSO record's fields, or nothing on a read error.
    std::optional<std::vector<std::map<std::string, std::string>>> read(const std::string& path) {
        void* cab = nullptr;
        if (m_begin(&cab, path.c_str()) != 0) {
            return std::nullopt;
        }
        std::vector<std::map<std::string, std::string>> records;
        std::map<std::string, std::string> current;
        for (int guard = 0; guard < 100000; ++guard) {
            TqslField f{};
            int status = -1;
            if (m_field(cab, &f, &status) != 0) {
                m_end(&cab);
                return std::nullopt;
            }
            if (status == 1) { // end of file
                break;
            }
            current[f.name] = f.value;
            if (status == 6) { // end of record
                records.push_back(current);
                current.clear();
            }
        }
        m_end(&cab);
        return records;
    }

  private:
    void* m_lib = nullptr;
    bool m_ok = false;
    std::filesystem::path m_home;
    int (*m_init)() = nullptr;
    int (*m_begin)(void**, const char*) = nullptr;
    int (*m_field)(void*, TqslField*, int*) = nullptr;
    int (*m_end)(void**) = nullptr;
};

StationContact contact(const char* call, const char* time, const char* band, const char* sent,
                       const char* station, const char* op, int tx) {
    core::QsoRecord r{call, "599", "12", "599", "Germany", "2026/03/28", time, band,
                      1.0f, "DL1", sent, ""};
    return {r, station, op, tx};
}

std::vector<StationContact> sampleStation() {
    return {contact("DL1AA", "10:05:00", "20", "002", "RUN1", "K1OP", 0),
            contact("OK2BB", "10:01:00", "40", "001", "MULT", "W2OP", 1),
            contact("G3CC", "10:03:00", "20", "001", "RUN1", "K1OP", 0),
            contact("F4DD", "10:07:00", "40", "002", "MULT", "N3OP", 1)};
}

std::vector<std::string> qsoLines(const std::string& file) {
    std::vector<std::string> out;
    std::size_t at = 0;
    while ((at = file.find("QSO:", at)) != std::string::npos) {
        out.push_back(file.substr(at, file.find("\r\n", at) - at));
        at += 4;
    }
    return out;
}

TEST(StationCabrillo, MultiTwoLinesCarryEachTransmitterInTimeOrderWithSerialsAsSent) {
    SummarySheet sheet;
    sheet.transmitter = SummarySheet::Transmitter::Two;
    std::string file = writeStationCabrillo(sheet, "K9STN", "CW", sampleStation());
    std::vector<std::string> lines = qsoLines(file);
    ASSERT_EQ(lines.size(), 4u);
    const char* order[] = {"OK2BB", "G3CC", "DL1AA", "F4DD"};
    const char txs[] = {'1', '0', '0', '1'};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_NE(lines[i].find(order[i]), std::string::npos) << lines[i];
        EXPECT_EQ(lines[i].back(), txs[i]) << lines[i];
        EXPECT_EQ(lines[i].size(), 81u) << lines[i];
    }
    EXPECT_NE(lines[0].find(" 001 "), std::string::npos);
    EXPECT_NE(file.find("OPERATORS: W2OP K1OP N3OP\r\n"), std::string::npos) << file;
    EXPECT_NE(file.find("CATEGORY-TRANSMITTER: TWO"), std::string::npos);
    // Four contacts of one point, one prefix: a score of 4.
    EXPECT_NE(file.find("CLAIMED-SCORE: 4\r\n"), std::string::npos);
}

TEST(StationCabrillo, OneTransmitterLeavesTheColumnBlankAndKeepsTheSheetsOperators) {
    SummarySheet sheet;
    sheet.transmitter = SummarySheet::Transmitter::One;
    sheet.operators = "K1OP AA1XX";
    std::string file = writeStationCabrillo(sheet, "K9STN", "CW", sampleStation());
    for (const std::string& line : qsoLines(file)) {
        EXPECT_EQ(line.back(), ' ') << line;
    }
    EXPECT_NE(file.find("OPERATORS: K1OP AA1XX W2OP N3OP\r\n"), std::string::npos) << file;
}

TEST(StationCabrillo, TrustedQslReadsBackEveryContactOfEveryStation) {
    TqslCabrilloReader reader;
    if (!reader.available()) {
        GTEST_SKIP() << "TrustedQSL's library is not installed";
    }
    std::vector<StationContact> contacts;
    for (int i = 0; i < 60; ++i) {
        char time[9];
        std::snprintf(time, sizeof time, "1%d:%02d:00", i / 60, i % 60);
        const bool second = i % 3 == 0;
        std::string call = "DL" + std::to_string(i) + "AB";
        std::string sent = std::to_string(100 + i);
        contacts.push_back(contact("", time, second ? "40" : "20", "", second ? "MULT" : "RUN1",
                                   second ? "W2OP" : "K1OP", second ? 1 : 0));
        contacts.back().record.call = call;
        contacts.back().record.serialSent = sent;
    }
    SummarySheet sheet;
    sheet.transmitter = SummarySheet::Transmitter::Two;
    const std::string path = (std::filesystem::temp_directory_path() /
                              ("wexon-station-" + std::to_string(::getpid()) + ".log"))
                                 .string();
    std::ofstream(path, std::ios::binary) << writeStationCabrillo(sheet, "K9STN", "CW", contacts);
    auto records = reader.read(path);
    std::filesystem::remove(path);
    ASSERT_TRUE(records);
    ASSERT_EQ(records->size(), 60u);
    std::set<std::string> calls;
    for (const auto& r : *records) {
        calls.insert(r.at("CALL"));
        EXPECT_EQ(r.count("QSO_DATE"), 1u);
    }
    EXPECT_EQ(calls.size(), 60u);
    EXPECT_TRUE(calls.count("DL0AB") && calls.count("DL59AB"));
}

} // namespace
} // namespace wexon::output
