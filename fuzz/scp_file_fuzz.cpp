// fuzz-sources: core/super_check_partial core/file_io
// Drives the reader of the known-calls file ("MASTER.SCP") with arbitrary
// bytes. Promises checked: no more calls than the limit, every call kept has
// the shape of a call and stands once in sorted order, and searches made with
// pieces of the input and of the calls read answer exactly as the plain scan
// does, never showing more than asked for.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/super_check_partial.h"
#include "fuzz_check.h"

using namespace wexon::core;

namespace {

void compare(const SuperCheckPartial& scp, std::string_view typed, std::size_t limit) {
    const SuperCheckPartial::Matches fast = scp.search(typed, limit);
    const SuperCheckPartial::Matches slow = scp.searchLinear(typed, limit);
    FUZZ_CHECK(fast.calls.size() <= limit);
    FUZZ_CHECK(fast.calls == slow.calls);
    FUZZ_CHECK(fast.total == slow.total);
    FUZZ_CHECK(fast.total >= fast.calls.size());
    for (std::uint32_t i : fast.calls) {
        FUZZ_CHECK(i < scp.size());
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    SuperCheckPartial::LoadStats stats;
    const SuperCheckPartial scp = SuperCheckPartial::fromText(bytes, &stats);
    FUZZ_CHECK(scp.size() <= SuperCheckPartial::kMaxCalls);
    FUZZ_CHECK(stats.skipped <= stats.lines);
    for (std::uint32_t i = 0; i < scp.size(); ++i) {
        const std::string_view call = scp.call(i);
        FUZZ_CHECK(call.size() >= SuperCheckPartial::kMinCallLength);
        FUZZ_CHECK(call.size() <= SuperCheckPartial::kMaxCallLength);
        FUZZ_CHECK(call.find_first_not_of("/0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ") ==
                   std::string_view::npos);
        if (i > 0) {
            FUZZ_CHECK(scp.call(i - 1) < call);
        }
    }

    // Texts typed: the input's first bytes at each length, and pieces of the
    // calls read, with a small limit and a large one.
    const std::size_t limit = size == 0 ? 0 : data[0] % 8;
    for (std::size_t n = 0; n <= 8 && n <= size; ++n) {
        compare(scp, bytes.substr(0, n), limit);
    }
    for (std::uint32_t i = 0; i < scp.size() && i < 8; ++i) {
        const std::string_view call = scp.call(i);
        for (std::size_t from = 0; from < call.size() && from < 6; ++from) {
            compare(scp, call.substr(from, 2 + (from + i) % 4), limit);
            compare(scp, call.substr(from, 3), 1000);
        }
    }
    return 0;
}
