// Reads the Cabrillo and ADIF files this program writes with an independent
// reader: the parsers of the TrustedQSL library (Debian package "trustedqsl"),
// loaded at run time. The tests skip, saying why, when the library is missing.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "golden.h"
#include "output/adif.h"
#include "output/cabrillo.h"
#include "output/cabrillo3.h"
#include "support/temp_dir.h"

using namespace wexon;

namespace {

constexpr const char* kLibrary = "/usr/lib/trustedqsl/libtqsllib.so";

// The library's own record layouts.
struct CabrilloField {
    char name[65];
    char value[41];
};
struct AdifResult {
    char name[65];
    char size[11];
    char type[2];
    unsigned char* data;
    unsigned int nameIndex;
    void* userPointer;
    int lineNumber;
};
struct AdifDefinition {
    char name[65];
    char type[2];
    int rangeType;
    unsigned int maxLength;
    long minValue;
    long maxValue;
    const char** enumStrings;
    void* userPointer;
};
constexpr int kCabrilloEof = 1;
constexpr int kCabrilloEndOfRecord = 6;
constexpr int kAdifSuccess = 0;
constexpr int kAdifEof = 11;

unsigned char* allocate(std::size_t n) {
    return static_cast<unsigned char*>(std::malloc(n));
}

using Record = std::map<std::string, std::string>;

class Tqsl {
  public:
    Tqsl() {
        m_handle = ::dlopen(kLibrary, RTLD_NOW | RTLD_LOCAL);
        if (m_handle == nullptr) {
            m_why = std::string("TrustedQSL library not available: ") + ::dlerror();
            return;
        }
        init = sym<int (*)()>("tqsl_init");
        beginCabrillo = sym<int (*)(void**, const char*)>("tqsl_beginCabrillo");
        cabrilloContest = sym<int (*)(void*, char*, int)>("tqsl_getCabrilloContest");
        cabrilloField = sym<int (*)(void*, CabrilloField*, int*)>("tqsl_getCabrilloField");
        endCabrillo = sym<int (*)(void**)>("tqsl_endCabrillo");
        cabrilloError = sym<const char* (*)(int)>("tqsl_cabrilloGetError");
        beginAdif = sym<int (*)(void**, const char*)>("tqsl_beginADIF");
        adifField = sym<int (*)(void*, AdifResult*, int*, const AdifDefinition*, const char* const*,
                                unsigned char* (*)(std::size_t))>("tqsl_getADIFField");
        endAdif = sym<int (*)(void**)>("tqsl_endADIF");
        if (!m_why.empty()) {
            return;
        }
        ::setenv("TQSLDIR", m_home.path().c_str(), 1);
        if (init() != 0) {
            m_why = "tqsl_init failed";
        }
    }
    ~Tqsl() {
        if (m_handle != nullptr) {
            ::dlclose(m_handle);
        }
    }
    const std::string& unavailable() const { return m_why; }

    struct CabrilloRead {
        std::string contest;
        std::vector<Record> records;
        std::string error;
    };
    CabrilloRead readCabrillo(const std::string& path) {
        CabrilloRead out;
        void* cab = nullptr;
        if (beginCabrillo(&cab, path.c_str()) != 0) {
            out.error = "the reader could not open the file";
            return out;
        }
        char contest[64] = {};
        cabrilloContest(cab, contest, sizeof contest);
        out.contest = contest;
        Record current;
        for (int guard = 0; guard < 100000; ++guard) {
            CabrilloField f{};
            int status = -1;
            if (cabrilloField(cab, &f, &status) != 0) {
                out.error = cabrilloError(status);
                break;
            }
            if (status == kCabrilloEof) {
                break;
            }
            current[f.name] = f.value;
            if (status == kCabrilloEndOfRecord) {
                out.records.push_back(current);
                current.clear();
            }
        }
        endCabrillo(&cab);
        return out;
    }

    struct AdifRead {
        Record header; // the items before <EOH>
        std::vector<Record> records;
        std::vector<std::string> problems;
    };
    AdifRead readAdif(const std::string& path) {
        static const char* kNames[] = {
            "EOH",      "ADIF_VER",   "PROGRAMID",  "PROGRAMVERSION", "CALL", "QSO_DATE",   "BAND",
            "MODE",     "CONTEST_ID", "TX_PWR",     "TIME_ON",        "FREQ", "DXCC",       "STATE",
            "RST_SENT", "STX",        "STX_STRING", "RST_RCVD",       "SRX",  "SRX_STRING", "PFX",
            "COMMENT",  "EOR"};
        static const char* kHeaderNames[] = {"ADIF_VER", "PROGRAMID", "PROGRAMVERSION"};
        std::vector<AdifDefinition> defs(std::size(kNames) + 1);
        for (std::size_t i = 0; i < std::size(kNames); ++i) {
            std::strcpy(defs[i].name, kNames[i]);
            defs[i].maxLength = 4096;
        }
        static const char* const kTypes[] = {"D", "T", "M", "C", "N", "S", "d",
                                             "t", "m", "c", "n", "s", ""};
        AdifRead out;
        void* adif = nullptr;
        if (beginAdif(&adif, path.c_str()) != 0) {
            out.problems.push_back("the reader could not open the file");
            return out;
        }
        Record current;
        bool inHeader = true;
        for (int guard = 0; guard < 1000000; ++guard) {
            AdifResult r{};
            int status = -1;
            if (adifField(adif, &r, &status, defs.data(), kTypes, allocate) != 0) {
                out.problems.push_back("read error");
                break;
            }
            std::string name = r.name;
            std::string data = r.data ? reinterpret_cast<const char*>(r.data) : "";
            std::free(r.data);
            if (status == kAdifEof) {
                break;
            }
            if (status != kAdifSuccess) {
                out.problems.push_back(name + ": status " + std::to_string(status));
                continue;
            }
            for (char& c : name) {
                c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            }
            if (name == "EOH") {
                inHeader = false;
            } else if (name == "EOR") {
                out.records.push_back(current);
                current.clear();
            } else if (inHeader && std::find(std::begin(kHeaderNames), std::end(kHeaderNames),
                                             name) != std::end(kHeaderNames)) {
                out.header[name] = data;
            } else {
                if (inHeader) {
                    out.problems.push_back(name + " before <EOH>");
                }
                // The size the reader found must be the data it returned.
                if (std::to_string(data.size()) != r.size) {
                    out.problems.push_back(name + ": size " + r.size + " for " + data);
                }
                current[name] = data;
            }
        }
        if (!current.empty()) {
            out.problems.push_back("fields after the last <eor>");
        }
        endAdif(&adif);
        return out;
    }

  private:
    template <typename F> F sym(const char* name) {
        void* p = ::dlsym(m_handle, name);
        if (p == nullptr && m_why.empty()) {
            m_why = std::string("TrustedQSL library lacks ") + name;
        }
        return reinterpret_cast<F>(p);
    }

    void* m_handle = nullptr;
    std::string m_why;
    test::TempDir m_home;

  public:
    int (*init)() = nullptr;
    int (*beginCabrillo)(void**, const char*) = nullptr;
    int (*cabrilloContest)(void*, char*, int) = nullptr;
    int (*cabrilloField)(void*, CabrilloField*, int*) = nullptr;
    int (*endCabrillo)(void**) = nullptr;
    const char* (*cabrilloError)(int) = nullptr;
    int (*beginAdif)(void**, const char*) = nullptr;
    int (*adifField)(void*, AdifResult*, int*, const AdifDefinition*, const char* const*,
                     unsigned char* (*)(std::size_t)) = nullptr;
    int (*endAdif)(void**) = nullptr;
};

Tqsl& tqsl() {
    static Tqsl t;
    return t;
}

#define REQUIRE_READER()                                                                           \
    if (!tqsl().unavailable().empty()) {                                                           \
        std::printf("skipped: %s\n", tqsl().unavailable().c_str());                                \
        GTEST_SKIP() << tqsl().unavailable();                                                      \
    }

// The small log without its deliberately broken last contact (a band the
// sponsor's format has no frequency for).
std::vector<core::QsoRecord> cleanLog() {
    auto v = test::smallLog();
    v.pop_back();
    return v;
}

std::string writeCabrilloFile(const test::TempDir& dir, const std::vector<core::QsoRecord>& qsos,
                              const char* mode,
                              output::CabrilloVersion version = output::CabrilloVersion::V2,
                              output::SummarySheet sheet = {}) {
    sheet.createdBy = "Wexon - CQ WPX Contest Logger";
    output::CabrilloLog log;
    log.ownCall = "W1AW";
    log.contestMode = mode;
    log.qsos = &qsos;
    log.totalPoints = 10;
    log.prefixCount = 3;
    dir.write("log.cbr", output::writeCabrilloFile(version, sheet, log));
    return dir.file("log.cbr");
}

// The band edges the 2.0 file writes, in MHz.
const std::map<std::string, double> kBandEdges{{"160", 1.8}, {"80", 3.5},  {"40", 7.0},
                                               {"20", 14.0}, {"15", 21.0}, {"10", 28.0}};

constexpr output::CabrilloVersion kVersions[] = {output::CabrilloVersion::V2,
                                                 output::CabrilloVersion::V3};

} // namespace

TEST(IndependentCabrilloReader, ReadsEveryContactInAllThreeModesAndBothVersions) {
    REQUIRE_READER();
    const std::vector<core::QsoRecord> qsos = cleanLog();
    const std::map<std::string, std::string> contests{
        {"CW", "CQ-WPX-CW"}, {"PH", "CQ-WPX-SSB"}, {"RY", "CQ-WPX-RTTY"}};
    for (const auto version : kVersions) {
        for (const auto& [mode, contest] : contests) {
            SCOPED_TRACE(output::cabrilloVersionText(version) + " " + mode);
            test::TempDir dir;
            auto read = tqsl().readCabrillo(writeCabrilloFile(dir, qsos, mode.c_str(), version));
            ASSERT_EQ(read.error, "") << mode;
            EXPECT_EQ(read.contest, contest);
            ASSERT_EQ(read.records.size(), qsos.size()) << mode;
            for (std::size_t i = 0; i < qsos.size(); ++i) {
                Record& r = read.records[i];
                EXPECT_EQ(r["CALL"], qsos[i].call);
                EXPECT_EQ(r["BAND"], qsos[i].band + "M");
                EXPECT_EQ(r["MYCALL"], "W1AW");
                EXPECT_EQ(r["QSO_DATE"], qsos[i].qsoDate.substr(0, 4) + "-" +
                                             qsos[i].qsoDate.substr(5, 2) + "-" +
                                             qsos[i].qsoDate.substr(8, 2));
                EXPECT_EQ(r["TIME_ON"],
                          qsos[i].qsoTime.substr(0, 2) + qsos[i].qsoTime.substr(3, 2));
                EXPECT_FALSE(r["MODE"].empty());
                // 2.0 gives the band edge; 3.0 the contact's own frequency where the
                // log has one. The reader reports MHz.
                double expected = kBandEdges.at(qsos[i].band);
                if (version == output::CabrilloVersion::V3 && !qsos[i].frequency.empty()) {
                    expected = std::stod(qsos[i].frequency);
                }
                EXPECT_NEAR(std::stod(r["FREQ"]), expected, 1e-6) << qsos[i].call;
            }
        }
    }
}

TEST(IndependentCabrilloReader, ThreePointZeroHeaderWithEveryExtraIsReadWhole) {
    REQUIRE_READER();
    const std::vector<core::QsoRecord> qsos = cleanLog();
    output::SummarySheet sheet;
    sheet.op = output::SummarySheet::Operator::Multiple;
    sheet.transmitter = output::SummarySheet::Transmitter::Multi;
    sheet.rookie = sheet.bandLimited = sheet.tbWires = true;
    sheet.arrlSection = "CT";
    sheet.operators = "W1AW K1ABC";
    sheet.address1 = "225 Main Street\r\nSuite 4";
    sheet.address2 = "Newington CT 06111";
    sheet.soapbox = std::string(200, 'x') + " and a word or two more for the wrapping";
    test::TempDir dir;
    auto read =
        tqsl().readCabrillo(writeCabrilloFile(dir, qsos, "CW", output::CabrilloVersion::V3, sheet));
    ASSERT_EQ(read.error, "");
    EXPECT_EQ(read.contest, "CQ-WPX-CW");
    ASSERT_EQ(read.records.size(), qsos.size());
    EXPECT_EQ(read.records.front()["CALL"], qsos.front().call);
    EXPECT_EQ(read.records.back()["CALL"], qsos.back().call);
}

TEST(IndependentCabrilloReader, TwoTransmitterThreePointZeroLogIsReadWhole) {
    REQUIRE_READER();
    const std::vector<core::QsoRecord> qsos = cleanLog();
    output::SummarySheet sheet;
    sheet.op = output::SummarySheet::Operator::Multiple;
    sheet.transmitter = output::SummarySheet::Transmitter::Two;
    sheet.transmitterId = 1;
    sheet.rookie = sheet.bandLimited = sheet.tbWires = true;
    sheet.address1 = std::string(300, 'a');
    test::TempDir dir;
    auto read =
        tqsl().readCabrillo(writeCabrilloFile(dir, qsos, "PH", output::CabrilloVersion::V3, sheet));
    ASSERT_EQ(read.error, "");
    ASSERT_EQ(read.records.size(), qsos.size());
    for (std::size_t i = 0; i < qsos.size(); ++i) {
        EXPECT_EQ(read.records[i]["CALL"], qsos[i].call);
    }
}

TEST(IndependentCabrilloReader, AContactTypedIntoTheSoapboxIsNoContact) {
    REQUIRE_READER();
    const std::vector<core::QsoRecord> qsos = cleanLog();
    output::SummarySheet sheet;
    sheet.soapbox =
        "Thanks\r\nQSO: 14000 CW 2026-03-28 0000 W1AW 599 001 FAKE1X 599 1 \r\nEND-OF-LOG:";
    sheet.name = "Hiram\nQSO: 14000 CW 2026-03-28 0000 W1AW 599 001 FAKE2X 599 1 ";
    for (const auto version : kVersions) {
        SCOPED_TRACE(output::cabrilloVersionText(version));
        test::TempDir dir;
        auto read = tqsl().readCabrillo(writeCabrilloFile(dir, qsos, "CW", version, sheet));
        ASSERT_EQ(read.error, "");
        ASSERT_EQ(read.records.size(), qsos.size());
        for (auto& r : read.records) {
            EXPECT_EQ(r["CALL"].find("FAKE"), std::string::npos);
        }
    }
}

TEST(IndependentCabrilloReader, OverLongFieldsStayOnTheirLine) {
    REQUIRE_READER();
    std::vector<core::QsoRecord> qsos = cleanLog();
    qsos[1].call = "PA3ABCDEFGHIJKLMNOP";
    qsos[1].serialSent = "123456789";
    qsos[2].serialReceived = "98765432";
    for (const auto version : kVersions) {
        SCOPED_TRACE(output::cabrilloVersionText(version));
        test::TempDir dir;
        auto read = tqsl().readCabrillo(writeCabrilloFile(dir, qsos, "CW", version));
        ASSERT_EQ(read.error, "");
        ASSERT_EQ(read.records.size(), qsos.size());
        EXPECT_EQ(read.records[1]["CALL"], "PA3ABCDEFGHIJKLMNOP");
        EXPECT_EQ(read.records[2]["CALL"], qsos[2].call);
        EXPECT_EQ(read.records[3]["CALL"], qsos[3].call);
    }
}

TEST(IndependentAdifReader, ReadsEveryItemWithItsLength) {
    REQUIRE_READER();
    test::TempDir dir;
    const auto qsos = test::smallLog();
    auto dxcc = output::DxccTable::parse(test::readData("dxcc_small.txt"));
    output::AdifExport e;
    e.programTitle = "Wexon - CQ WPX Contest Logger";
    e.exportDate = "03/30/2026";
    e.contestMode = "PH";
    e.power = "100";
    e.comment = "CQ WPX Contest, 2026";
    e.programVersion = "0.1.0";
    dir.write("log.adi", output::writeAdif(qsos, e, dxcc));
    auto read = tqsl().readAdif(dir.file("log.adi"));
    EXPECT_TRUE(read.problems.empty()) << read.problems.front();
    EXPECT_EQ(read.header["ADIF_VER"], "3.1.4");
    EXPECT_EQ(read.header["PROGRAMID"], "Wexon");
    EXPECT_EQ(read.header["PROGRAMVERSION"], "0.1.0");
    ASSERT_EQ(read.records.size(), qsos.size());
    for (std::size_t i = 0; i < qsos.size(); ++i) {
        Record& r = read.records[i];
        EXPECT_EQ(r["CALL"], qsos[i].call);
        EXPECT_EQ(r["BAND"], qsos[i].band + "M");
        EXPECT_EQ(r["MODE"], "SSB");
        EXPECT_EQ(r["QSO_DATE"].size(), 8u);
        EXPECT_EQ(r["TIME_ON"].size(), 4u);
        EXPECT_EQ(r["TX_PWR"], "100");
        EXPECT_EQ(r["PFX"], qsos[i].prefix);
        EXPECT_EQ(r["COMMENT"], "CQ WPX Contest, 2026");
        EXPECT_EQ(r["CONTEST_ID"], "CQ-WPX-SSB");
        EXPECT_EQ(std::stoi(r["STX"]), std::stoi(qsos[i].serialSent));
        EXPECT_EQ(std::stoi(r["SRX"]), std::stoi(qsos[i].serialReceived));
    }
    EXPECT_EQ(read.records[0]["DXCC"], "291");
    EXPECT_EQ(read.records[0]["FREQ"], "14.025");
    EXPECT_EQ(read.records[2]["STATE"], "AK");
    EXPECT_EQ(read.records[3]["STATE"], "HI");
    EXPECT_EQ(read.records[6].count("DXCC"), 0u); // "Not Found"
}

TEST(IndependentAdifReader, EmptyLogHasNoRecords) {
    REQUIRE_READER();
    test::TempDir dir;
    output::AdifExport e;
    e.programTitle = "Wexon";
    e.exportDate = "03/30/2026";
    dir.write("empty.adi", output::writeAdif({}, e, output::DxccTable{}));
    auto read = tqsl().readAdif(dir.file("empty.adi"));
    EXPECT_TRUE(read.problems.empty());
    EXPECT_TRUE(read.records.empty());
}
