#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Starting rigctld for the operator: the list of Hamlib models (as "rigctl -l"
// prints it), the settings of a daemon the program runs itself, and the
// command line that starts it.

namespace wexon::rig {

// Settings-store keys of a daemon started by the program.
inline constexpr const char* kRigctldStartKey = "Rigctld/Start";   // "1": start it
inline constexpr const char* kRigctldModelKey = "Rigctld/Model";   // Hamlib model number
inline constexpr const char* kRigctldDeviceKey = "Rigctld/Device"; // "/dev/ttyUSB0"
inline constexpr const char* kRigctldSpeedKey = "Rigctld/Speed";   // "38400"

inline constexpr std::size_t kMaxRigctldModels = 2000;

struct HamlibModel {
    int number = 0;
    std::string maker; // "Kenwood"
    std::string name;  // "TS-590S"
    // "Kenwood TS-590S (2031)", as the model list shows it.
    std::string label() const;
};

// The models of "rigctl -l" output: a line per model, its number first; the
// maker and model columns are cut where the header line puts them ("Mfg",
// "Model", "Version"), else at runs of two or more spaces. Lines that are not
// a model are skipped; at most `maxModels` are kept.
std::vector<HamlibModel> parseRigctlModelList(std::string_view text,
                                              std::size_t maxModels = kMaxRigctldModels);

// What the program starts rigctld with.
struct RigctldLaunch {
    int model = 1;           // Hamlib model number (1: the dummy rig)
    std::string device;      // serial device; empty for models that need none
    int speed = 0;           // serial speed; 0 leaves the model's default
    std::string host = "127.0.0.1";
    int port = 4532;
};

// Nothing when the launch cannot be used: a model number below 1, a device
// that is not an absolute path (or holds a control character), a speed outside
// 0-1000000, a port outside 1-65535. The words say which.
std::optional<std::string> rigctldLaunchProblem(const RigctldLaunch& launch);
// The arguments after "rigctld": -m model [-r device] [-s speed] -T host -t port.
std::vector<std::string> rigctldArguments(const RigctldLaunch& launch);

} // namespace wexon::rig
