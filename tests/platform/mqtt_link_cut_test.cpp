#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/mqtt_test_support.h"
#include "support/temp_dir.h"

namespace wexon::test {
namespace {

int run(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()); }

// A broker in a network namespace of its own, reached by two stations over
// two separate virtual cables, so that one station's cable can be pulled while
// the other keeps its link.
class SplitNetwork {
  public:
    SplitNetwork() : m_tag(std::to_string(::getpid() % 100000)), m_ns("wxn" + m_tag) {}
    ~SplitNetwork() {
        if (m_made) {
            run("ip netns del " + m_ns);
            run("ip link del wxa" + m_tag);
            run("ip link del wxc" + m_tag);
        }
    }
    // False when this machine does not let the test make namespaces.
    bool make() {
        run("ip netns del " + m_ns);
        if (run("ip netns add " + m_ns) != 0) {
            return false;
        }
        m_made = true;
        const std::string in = "ip netns exec " + m_ns + " ";
        for (const auto& [outer, inner, net] :
             {std::tuple{"wxa", "wxb", "10.201.1"}, std::tuple{"wxc", "wxd", "10.201.2"}}) {
            const std::string o = outer + m_tag;
            const std::string i = inner + m_tag;
            if (run("ip link add " + o + " type veth peer name " + i) != 0 ||
                run("ip link set " + i + " netns " + m_ns) != 0 ||
                run("ip addr add " + std::string(net) + ".1/24 dev " + o) != 0 ||
                run("ip link set " + o + " up") != 0 ||
                run(in + "ip addr add " + net + ".2/24 dev " + i) != 0 ||
                run(in + "ip link set " + i + " up") != 0) {
                return false;
            }
        }
        return run(in + "ip link set lo up") == 0;
    }
    std::vector<std::string> wrapper() const { return {"ip", "netns", "exec", m_ns}; }
    // The first station's cable.
    void cut() { run("ip link set wxa" + m_tag + " down"); }
    void mend() { run("ip link set wxa" + m_tag + " up"); }

  private:
    std::string m_tag;
    std::string m_ns;
    bool m_made = false;
};

TEST(StationNetworkCut, OneStationsLinkCutWhileBothLogThenMended) {
    SplitNetwork net;
    if (!net.make()) {
        GTEST_SKIP() << "network namespaces cannot be made here (needs root and iproute2)";
    }
    TempDir dir;
    TestBroker broker(dir.path() + "/broker", {}, "10.201.1.2", net.wrapper());
    broker.addConfig("listener " + std::to_string(broker.port()) + " 10.201.2.2\n");
    ASSERT_TRUE(broker.start());
    TestStation a(dir.path(), "RUN1");
    TestStation b(dir.path(), "MULT");
    ASSERT_TRUE(a.connect("10.201.1.2", broker.port()));
    ASSERT_TRUE(b.connect("10.201.2.2", broker.port()));
    a.log("A0");
    b.log("B0");
    ASSERT_TRUE(converge({&a, &b}, 2));

    net.cut();
    a.log("A1");
    b.log("B1");
    a.log("A2");
    // RUN1's contacts cannot leave; the broker's silence ends its link.
    ASSERT_TRUE(pumpUntil([&] { return !a.link->connected(); }, 15000));
    EXPECT_EQ(a.sync->waitingCount(), 2);
    EXPECT_EQ(b.merged().size(), 3u);
    b.log("B2");

    net.mend();
    ASSERT_TRUE(converge({&a, &b}, 6, 20000));
    EXPECT_EQ(a.merged(), b.merged());
    // Serials: one sequence, each station's rising, the next above all.
    a.log("A3");
    ASSERT_TRUE(converge({&a, &b}, 7));
    int highest = 0;
    for (const auto& c : b.sync->mergedLog()) {
        highest = std::max(highest, std::stoi(c.record->serialSent));
    }
    EXPECT_EQ(std::stoi(a.contest->qsos().back().serialSent), highest);
}

} // namespace
} // namespace wexon::test
