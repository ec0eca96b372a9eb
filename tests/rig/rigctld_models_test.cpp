#include <gtest/gtest.h>

#include <string>

#include "rig/rigctld_models.h"

using namespace wexon::rig;

namespace {

// The start of "rigctl -l" from Hamlib 4.5, and a line of a maker whose model
// name holds spaces.
const char* kList =
    " Rig #  Mfg                    Model                   Version         Status      Macro\n"
    "     1  Hamlib                 Dummy                   20221128.0      Stable      "
    "RIG_MODEL_DUMMY\n"
    "     2  Hamlib                 NET rigctl              20230106.0      Stable      "
    "RIG_MODEL_NETRIGCTL\n"
    "  2031  Kenwood                TS-590S                 20221211.6      Stable      "
    "RIG_MODEL_TS590S\n"
    "  3073  Icom                   IC-7300                 20221224.2      Stable      "
    "RIG_MODEL_IC7300\n";

} // namespace

TEST(RigctlModelList, ColumnsComeFromTheHeader) {
    std::vector<HamlibModel> m = parseRigctlModelList(kList);
    ASSERT_EQ(m.size(), 4u);
    EXPECT_EQ(m[0].number, 1);
    EXPECT_EQ(m[0].label(), "Hamlib Dummy (1)");
    EXPECT_EQ(m[1].name, "NET rigctl");
    EXPECT_EQ(m[2].maker, "Kenwood");
    EXPECT_EQ(m[2].name, "TS-590S");
    EXPECT_EQ(m[3].label(), "Icom IC-7300 (3073)");
}

TEST(RigctlModelList, WithoutAHeaderFieldsSplitAtWideGaps) {
    std::vector<HamlibModel> m =
        parseRigctlModelList("  1  Hamlib  NET rigctl  1.0  Stable\n17\tYaesu\tFT-817\r\n");
    ASSERT_EQ(m.size(), 2u);
    EXPECT_EQ(m[0].name, "NET rigctl");
    EXPECT_EQ(m[1].maker, "Yaesu");
    EXPECT_EQ(m[1].name, "FT-817");
}

TEST(RigctlModelList, LinesThatAreNotModelsAreSkippedAndTheListIsCapped) {
    const char* junk = "\n"
                       "rigctl: error\n"
                       "  0  Hamlib  Zero\n"
                       "  -5  Hamlib  Negative\n"
                       "  12345678  Hamlib  TooLong\n"
                       "  7x  Hamlib  Letters\n"
                       "  9\n"
                       "  10  Bad\x01Control  Name\n";
    EXPECT_TRUE(parseRigctlModelList(junk).empty());
    std::string many;
    for (int i = 1; i <= 50; ++i) {
        many += std::to_string(i) + "  Maker  Model" + std::to_string(i) + "\n";
    }
    EXPECT_EQ(parseRigctlModelList(many, 20).size(), 20u);
    // A header with its columns out of order is not trusted.
    EXPECT_EQ(parseRigctlModelList("Rig # Version Model Mfg\n 3  Elecraft  K3\n")[0].name, "K3");
}

TEST(RigctldLaunchTest, ArgumentsAndTheirChecks) {
    RigctldLaunch l;
    l.model = 2031;
    l.device = "/dev/ttyUSB0";
    l.speed = 38400;
    l.port = 4600;
    EXPECT_FALSE(rigctldLaunchProblem(l).has_value());
    EXPECT_EQ(rigctldArguments(l),
              (std::vector<std::string>{"-m", "2031", "-r", "/dev/ttyUSB0", "-s", "38400", "-T",
                                        "127.0.0.1", "-t", "4600"}));
    RigctldLaunch dummy;
    EXPECT_EQ(rigctldArguments(dummy),
              (std::vector<std::string>{"-m", "1", "-T", "127.0.0.1", "-t", "4532"}));

    auto problem = [](auto change) {
        RigctldLaunch bad;
        change(bad);
        return rigctldLaunchProblem(bad).has_value();
    };
    EXPECT_TRUE(problem([](RigctldLaunch& b) { b.model = 0; }));
    EXPECT_TRUE(problem([](RigctldLaunch& b) { b.device = "ttyUSB0"; }));
    EXPECT_TRUE(problem([](RigctldLaunch& b) { b.device = "-r/dev/x"; }));
    EXPECT_TRUE(problem([](RigctldLaunch& b) { b.device = "/dev/tty\nUSB0"; }));
    EXPECT_TRUE(problem([](RigctldLaunch& b) { b.speed = -1; }));
    EXPECT_TRUE(problem([](RigctldLaunch& b) { b.port = 0; }));
    EXPECT_TRUE(problem([](RigctldLaunch& b) { b.port = 70000; }));
    EXPECT_TRUE(problem([](RigctldLaunch& b) { b.host.clear(); }));
}
