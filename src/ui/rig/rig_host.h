#pragma once

#include <string>

namespace wexon::ui {

// What the rig windows need from the main window. The main window implements
// it by forwarding to its own operations; tests fake it.
class RigHost {
  public:
    virtual ~RigHost() = default;
    // A rig frequency in MHz: the log follows its band.
    virtual void bandFreqConversion(float mhz) = 0;
    // A rig mode text ("CW", "PH", ...).
    virtual void modeSelection(const std::string& mode) = 0;
    // The program-wide rig name (kept in the main preferences).
    virtual std::string rigName() const = 0;
    virtual void setRigName(const std::string& name) = 0;
    // Saves the main preferences (which record the rig name).
    virtual void savePref() = 0;
};

// What the tune window needs from the rig window.
class RigTuner {
  public:
    virtual ~RigTuner() = default;
    virtual void changeFrequency(float mhz) = 0;
    virtual void changeMode(float mhz, const std::string& mode) = 0;
    virtual std::string rigName() const = 0;
};

} // namespace wexon::ui
