#pragma once

#include <cstdint>
#include <cstdlib>
#include <dlfcn.h>
#include <string>
#include <unistd.h>
#include <vector>

// Builds the modem-line shim (rts_shim.cpp) with the system compiler and
// re-runs a program under it, and reads back what the shim recorded.
namespace wexon::test {

struct ShimEvent {
    std::int64_t ns;
    int request; // 1 set bits, 2 clear bits, 3 set all
    int bits;
};

// Whether this process runs with the shim loaded.
inline bool shimLoaded() {
    return dlsym(RTLD_DEFAULT, "wexon_rts_shim_events") != nullptr;
}

// Compiles the shim into `folder`; the path of the library, empty on failure.
inline std::string buildShim(const std::string& sourceDir, const std::string& folder) {
    std::string out = folder + "/rts_shim.so";
    std::string cmd = "c++ -std=c++20 -shared -fPIC -O2 -o '" + out + "' '" + sourceDir +
                      "/tests/support/rts_shim.cpp' 2>&1";
    return std::system(cmd.c_str()) == 0 ? out : std::string();
}

// The events recorded so far (empty without the shim).
inline std::vector<ShimEvent> shimEvents() {
    using Fn = int (*)(const ShimEvent**);
    auto fn = reinterpret_cast<Fn>(dlsym(RTLD_DEFAULT, "wexon_rts_shim_events"));
    if (fn == nullptr) {
        return {};
    }
    const ShimEvent* events = nullptr;
    int n = fn(&events);
    return std::vector<ShimEvent>(events, events + n);
}

inline void resetShim() {
    using Fn = void (*)();
    auto fn = reinterpret_cast<Fn>(dlsym(RTLD_DEFAULT, "wexon_rts_shim_reset"));
    if (fn != nullptr) {
        fn();
    }
}

// Runs `argv` again with the shim preloaded; returns its exit status.
// Under AddressSanitizer the sanitizer's runtime must load before any preload;
// its check of that order is turned off, since the shim only forwards ioctl
// calls onward, where the sanitizer still sees them.
inline int runUnderShim(const std::string& shim, const std::vector<std::string>& argv) {
    std::string cmd = "ASAN_OPTIONS=\"$ASAN_OPTIONS:verify_asan_link_order=0\" LD_PRELOAD='" +
                      shim + "'";
    for (const auto& a : argv) {
        cmd += " '" + a + "'";
    }
    return std::system(cmd.c_str());
}

} // namespace wexon::test
