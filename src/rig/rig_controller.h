#pragma once

#include <chrono>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "core/clock.h"
#include "rig/band_plan.h"
#include "rig/cat_port.h"
#include "rig/rig_profiles.h"
#include "rig/rig_protocol.h"
#include "rig/rig_reading.h"
#include "rig/rig_settings.h"

namespace wexon::rig {

// The polling timer of the rig window.
class PollTimer {
  public:
    virtual ~PollTimer() = default;
    virtual void start(int intervalMs) = 0;
    virtual void stop() = 0;
    virtual bool isActive() const = 0;
};

// Runs work later on the window thread, letting window events run meanwhile.
class Scheduler {
  public:
    virtual ~Scheduler() = default;
    virtual void after(int ms, std::function<void()> work) = 0;
};

// What a read tick found, for the read-outs.
struct TickReport {
    float frequency = 0;
    std::string mode;
    std::string received; // the bytes of the reply, as they came
};

// What the controller tells the window that owns it.
class RigEvents {
  public:
    virtual ~RigEvents() = default;
    // A read tick that had something to read (or the Pegasus file was looked at).
    virtual void readingTaken(const TickReport& report) = 0;
    // The rig's frequency for the log ("Use Frequency").
    virtual void frequencyForLog(float mhz) = 0;
    // The rig's mode for the log (unless "Don't Use").
    virtual void modeForLog(const std::string& mode) = 0;
    // The port could not be opened, or vanished while polling; polling stopped.
    virtual void portFailed(const std::string& why) = 0;
    // Polls have gone unanswered for kSilentRigMs; polling goes on, and this is
    // said again only after the rig has answered in between.
    virtual void rigNotAnswering(const std::string& text) { (void)text; }
    // A frequency or mode change failed; `title` names which.
    virtual void operationFailed(const std::string& title, const std::string& text) = 0;
};

struct RigServices {
    CatPort* port = nullptr;
    PollTimer* timer = nullptr;
    Scheduler* scheduler = nullptr;
    const core::Clock* clock = nullptr;
    RigEvents* events = nullptr;
    std::string pegasusFolder; // where the Pegasus exchange files are
    // The TCP link to rigctld, for the profiles that use it; null when the
    // program has none (choosing such a profile then fails as a bad port would).
    CatPort* networkPort = nullptr;
};

inline constexpr int kDrainLimitMs = 2000;
inline constexpr int kModePauseMs = 99;
inline constexpr const char* kFrequencyErrorTitle = "Error Changing Frequency";
inline constexpr const char* kModeErrorTitle = "Error Changing Mode";
inline constexpr const char* kPortClosedText = "Operation valid only when the port is open";
// A binary reply still incomplete this long after its poll is given up.
inline constexpr int kReplyWaitMs = 1000;
// Polls unanswered this long mean the rig is not answering.
inline constexpr int kSilentRigMs = 5000;
inline constexpr const char* kRigSilentText =
    "The rig has not answered for 5 seconds. Check that it is switched on, connected and set "
    "to the port settings chosen here.";
inline constexpr const char* kRigctldSilentText =
    "rigctld is running, but the rig behind it has not answered for 5 seconds. Check that the "
    "rig is switched on and connected, and rigctld's model, device and speed.";

// Polls the rig and tunes it: the send and read ticks, the frequency and mode
// changes with their pauses and drains, start and stop of polling. It owns no
// window: the port, timers and clock come in through RigServices, and what the
// window shows goes out through RigEvents.
class RigController {
  public:
    explicit RigController(RigServices services);

    RigSettings& settings() { return m_settings; }
    const RigSettings& settings() const { return m_settings; }
    const RigProfile& profile() const { return profileFor(m_settings.rigName); }
    const RigReading& reading() const { return m_reading; }
    RigReading& reading() { return m_reading; }
    const PollState& pollState() const { return m_poll; }
    // The Extra-class band plan rows used to choose a mode by frequency.
    void setBandPlanRows(std::vector<BandPlanRow> rows) { m_extraRows = std::move(rows); }
    const std::vector<BandPlanRow>& bandPlanRows() const { return m_extraRows; }

    enum class TestResult { NoRig, Polling, PortFailed };
    // Starts polling with the current settings: opens the port (except for the
    // Pegasus), sends the rig's start-up bytes, runs one tick and starts the
    // timer. The last mode is cleared.
    TestResult test();
    // Stops polling and closes the port; a change in progress is abandoned.
    void endTest();
    bool polling() const { return m_services.timer->isActive(); }
    // One tick of the polling timer: send or read.
    void tick();

    // Tunes the rig (only while polling): the band plan's mode first, then the
    // rig's frequency command, with the rig's pauses; polling is stopped until
    // the command has gone out.
    void changeFrequency(float mhz);
    // Puts the rig into `mode`; an empty mode takes the band plan's mode for the
    // frequency. Returns the mode used.
    std::string changeMode(float mhz, std::string mode);
    // Sends bytes as typed in the test window.
    bool sendRaw(const std::string& bytes);
    // The window is being unloaded: the rig's closing bytes when polling.
    void closing();
    // True while a change is still working through its steps.
    bool busy() const { return m_running; }

  private:
    struct Step {
        // Confirm: after a command and its drain, a refusal the link reports.
        enum class Kind {
            Events,
            Pause,
            Drain,
            Discard,
            Send,
            Confirm,
            WritePegasus,
            StartPolling
        };
        Kind kind;
        int ms = 0;
        std::string bytes;
        float mhz = 0;
        unsigned op = 0;        // the operation the step belongs to
        unsigned modeGroup = 0; // non-zero: part of a mode change inside `op`
        std::string mode;       // the mode requested, for its error message
    };
    // The link the current profile talks over (null: there is none).
    CatPort* port() const;
    void appendModeSteps(float mhz, const std::string& mode, unsigned op, unsigned modeGroup);
    void start();
    void runSteps();
    void later(int ms);
    void drainCheck();
    void fail(const Step& step, const std::string& description);
    void portLost();
    void readTick(const RigProfile& p, CatPort* link);
    void sendTick(const RigProfile& p, CatPort* link);
    // Notes an answer (or its absence) and reports a rig gone silent.
    void watchSilence(bool answered);

    RigServices m_services;
    RigSettings m_settings;
    RigReading m_reading;
    PollState m_poll;
    std::vector<BandPlanRow> m_extraRows;
    std::deque<Step> m_steps;
    bool m_running = false;
    unsigned m_generation = 0;
    unsigned m_nextOp = 0;
    std::chrono::steady_clock::time_point m_drainStart;
    // A binary reply being collected across read ticks, and when it was asked.
    std::string m_reply;
    std::chrono::steady_clock::time_point m_polledAt;
    // When the rig last answered (or polling started), whether a poll has
    // gone out since, and whether its silence has been reported.
    std::chrono::steady_clock::time_point m_lastAnswerAt;
    bool m_askedSinceAnswer = false;
    bool m_silenceReported = false;
};

} // namespace wexon::rig
