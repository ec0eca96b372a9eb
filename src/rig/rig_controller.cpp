#include "rig/rig_controller.h"

#include <algorithm>
#include <utility>

#include "core/file_io.h"
#include "rig/amateur_bands.h"
#include "rig/mode_by_frequency.h"
#include "rig/pegasus.h"
#include "rig/rigctld_protocol.h"

namespace wexon::rig {

namespace {
constexpr std::size_t kPegasusFileLimit = 64 * 1024;
// No binary reply is longer; a flood beyond it is not kept.
constexpr std::size_t kReplyCollectLimit = 4096;
} // namespace

RigController::RigController(RigServices services) : m_services(std::move(services)) {}

RigController::TestResult RigController::test() {
    if (isNoRig(m_settings.rigName)) {
        return TestResult::NoRig;
    }
    const RigProfile& p = profile();
    m_reading.mode.clear();
    m_poll.awaitingReply = false;
    m_reply.clear();
    m_lastAnswerAt = m_services.clock->steadyNow();
    m_askedSinceAnswer = false;
    m_silenceReported = false;
    if (p.usesPort) {
        CatPort* link = port();
        if (link == nullptr) {
            m_services.timer->stop();
            m_services.events->portFailed("No link to rigctld");
            return TestResult::PortFailed;
        }
        PortRequest request;
        request.portNumber = m_settings.portNumber;
        request.settings = portSettingsText(m_settings);
        request.handshaking = p.handshaking;
        request.powerLine = m_settings.power.empty() ? 'N' : m_settings.power[0];
        std::string why = link->open(request);
        if (!why.empty() || !link->isOpen()) {
            m_services.timer->stop();
            m_services.events->portFailed(why);
            return TestResult::PortFailed;
        }
        if (!p.startupBytes.empty()) {
            link->write(p.startupBytes);
        }
    }
    tick();
    if (p.usesPort && (port() == nullptr || !port()->isOpen())) {
        return TestResult::PortFailed;
    }
    m_services.timer->start(pollIntervalMs(m_settings.pollRate));
    return TestResult::Polling;
}

void RigController::endTest() {
    m_services.timer->stop();
    ++m_generation; // a change in progress stops here
    m_steps.clear();
    m_running = false;
    // Both links are closed: the profile may have changed since one was opened.
    for (CatPort* link : {m_services.port, m_services.networkPort}) {
        if (link != nullptr && link->isOpen()) {
            link->close();
        }
    }
}

CatPort* RigController::port() const {
    return profile().link == LinkKind::Rigctld ? m_services.networkPort : m_services.port;
}

void RigController::portLost() {
    endTest();
    if (CatPort* link = port()) {
        link->close();
    }
    m_services.events->portFailed("The port is no longer available");
}

void RigController::tick() {
    const RigProfile& p = profile();
    if (p.usesPort && (port() == nullptr || !port()->isOpen())) {
        portLost();
        return;
    }
    if (m_poll.awaitingReply) {
        readTick(p, port());
    } else {
        sendTick(p, port());
    }
}

void RigController::readTick(const RigProfile& p, CatPort* link) {
    std::string received;
    if (p.usesPort) {
        received = link->readAll();
    }
    if (const std::size_t expected = expectedReplyBytes(p); expected > 0) {
        // A bare binary frame: collect it until it is whole (or overdue), so
        // that a reply split across ticks is read as one, in step.
        m_reply.append(received, 0,
                       kReplyCollectLimit - std::min(m_reply.size(), kReplyCollectLimit));
        const bool overdue =
            m_services.clock->steadyNow() - m_polledAt >= std::chrono::milliseconds(kReplyWaitMs);
        if (m_reply.size() < expected && !overdue) {
            return; // the next tick reads on
        }
        received = std::exchange(m_reply, std::string());
    }
    const bool pegasus = p.parser == ParserKind::Pegasus;
    if (pegasus || !received.empty()) {
        if (pegasus) {
            auto content = core::readWholeFile(
                core::joinPath(m_services.pegasusFolder, kPegasusOutFile), kPegasusFileLimit);
            if (content) {
                parsePegasusOut(*content, m_reading);
            }
        } else {
            parseReply(p, m_settings, m_poll.nextQuery, received, m_reading);
        }
        if (m_settings.modeBy == 2) {
            std::string mode = modeByFrequency(m_reading.frequency);
            if (!mode.empty()) {
                m_reading.mode = mode;
            }
        }
        m_services.events->readingTaken({m_reading.frequency, m_reading.mode, received});
        // Only a frequency inside an amateur band is a contact's frequency.
        if (m_settings.useFrequency == 1 && isAmateurFrequency(m_reading.frequency)) {
            m_services.events->frequencyForLog(m_reading.frequency);
        }
        if (m_settings.modeBy != 3) {
            m_services.events->modeForLog(m_reading.mode);
        }
    }
    m_poll.awaitingReply = false;
    if (p.usesPort) {
        // rigctld answers for a rig that does not (with an error), so only a
        // value read counts there; on a serial line any byte is an answer.
        RigReading scratch;
        const bool answered =
            p.link == LinkKind::Rigctld ? parseRigctldReply(received, scratch) : !received.empty();
        watchSilence(answered);
    }
}

void RigController::sendTick(const RigProfile& p, CatPort* link) {
    if (p.usesPort && link->bytesToWrite() == 0) {
        std::string command = pollCommand(p, m_settings, m_poll);
        if (!command.empty()) {
            if (expectedReplyBytes(p) > 0) {
                // Whatever came in since the last reading (the tail of a late
                // reply, noise) would put the next frame out of step.
                link->readAll();
                m_reply.clear();
            }
            if (!link->write(command)) {
                portLost();
                return;
            }
            m_polledAt = m_services.clock->steadyNow();
            m_askedSinceAnswer = true;
        }
        watchSilence(false);
    }
    m_poll.awaitingReply = true;
}

void RigController::watchSilence(bool answered) {
    const auto now = m_services.clock->steadyNow();
    if (answered) {
        m_lastAnswerAt = now;
        m_askedSinceAnswer = false;
        m_silenceReported = false;
        return;
    }
    if (!m_askedSinceAnswer || m_silenceReported ||
        now - m_lastAnswerAt < std::chrono::milliseconds(kSilentRigMs)) {
        return;
    }
    m_silenceReported = true;
    m_services.events->rigNotAnswering(profile().link == LinkKind::Rigctld ? kRigctldSilentText
                                                                           : kRigSilentText);
}

void RigController::appendModeSteps(float mhz, const std::string& mode, unsigned op,
                                    unsigned modeGroup) {
    const RigProfile& p = profile();
    auto push = [&](Step::Kind kind, int ms = 0, std::string bytes = {}) {
        Step s{kind, ms, std::move(bytes), mhz, op, modeGroup, mode};
        m_steps.push_back(std::move(s));
    };
    if (!mode.empty()) {
        push(Step::Kind::Events);
        if (p.usesPort) {
            push(Step::Kind::Drain);
        }
        push(Step::Kind::Pause, kModePauseMs);
        push(Step::Kind::Send, 0, modeCommand(p, m_settings, mode));
    }
    if (p.usesPort) {
        push(Step::Kind::Drain);
    }
    if (!mode.empty() && p.link == LinkKind::Rigctld) {
        push(Step::Kind::Confirm);
    }
}

std::string RigController::changeMode(float mhz, std::string mode) {
    if (isNoRig(m_settings.rigName)) {
        return mode;
    }
    if (mode.empty()) {
        mode = bandPlanMode(m_extraRows, mhz);
    }
    const unsigned op = ++m_nextOp;
    appendModeSteps(mhz, mode, op, op);
    start();
    return mode;
}

void RigController::changeFrequency(float mhz) {
    if (!m_services.timer->isActive()) {
        return; // a rig that is not being polled is never tuned
    }
    m_services.timer->stop();
    const RigProfile& p = profile();
    const unsigned op = ++m_nextOp;
    auto push = [&](Step::Kind kind, int ms = 0, std::string bytes = {}) {
        m_steps.push_back(Step{kind, ms, std::move(bytes), mhz, op, 0, {}});
    };
    if (p.usesPort) {
        push(Step::Kind::Discard);
    }
    if (!isNoRig(m_settings.rigName)) {
        appendModeSteps(mhz, bandPlanMode(m_extraRows, mhz), op, ++m_nextOp);
    }
    if (p.usesPort) {
        push(Step::Kind::Drain);
    }
    if (p.pauseBeforeMs > 0) {
        push(Step::Kind::Pause, p.pauseBeforeMs);
    }
    if (p.secondPauseMs > 0) {
        push(Step::Kind::Pause, p.secondPauseMs);
    }
    if (p.frequencyCommand == FrequencyCommand::Pegasus) {
        push(Step::Kind::WritePegasus);
    } else {
        push(Step::Kind::Send, 0, frequencyCommand(p, m_settings, mhz, m_reading));
    }
    if (p.usesPort) {
        push(Step::Kind::Drain);
    }
    if (p.link == LinkKind::Rigctld) {
        push(Step::Kind::Confirm);
    }
    push(Step::Kind::StartPolling);
    start();
}

bool RigController::sendRaw(const std::string& bytes) {
    CatPort* link = port();
    return link != nullptr && link->write(bytes);
}

void RigController::closing() {
    const RigProfile& p = profile();
    if (polling() && !p.closingBytes.empty() && port() != nullptr) {
        port()->write(p.closingBytes);
    }
}

void RigController::start() {
    if (m_running) {
        return; // the steps join the queue of the change in progress
    }
    m_running = true;
    runSteps();
}

void RigController::later(int ms) {
    const unsigned generation = m_generation;
    m_services.scheduler->after(ms, [this, generation] {
        if (generation == m_generation) {
            runSteps();
        }
    });
}

void RigController::drainCheck() {
    const auto elapsed = m_services.clock->steadyNow() - m_drainStart;
    CatPort* link = port();
    if (link == nullptr || !link->isOpen() || link->bytesToWrite() <= 0 ||
        elapsed >= std::chrono::milliseconds(kDrainLimitMs)) {
        runSteps();
        return;
    }
    const unsigned generation = m_generation;
    m_services.scheduler->after(1, [this, generation] {
        if (generation == m_generation) {
            drainCheck();
        }
    });
}

void RigController::fail(const Step& step, const std::string& description) {
    if (step.modeGroup != 0) {
        // A failed mode change ends the mode change only.
        std::erase_if(m_steps, [&](const Step& s) { return s.modeGroup == step.modeGroup; });
        m_services.events->operationFailed(kModeErrorTitle, description + " " + step.mode);
    } else if (step.kind == Step::Kind::Confirm) {
        // The rig refused the frequency but the link is sound: polling goes on.
        m_services.events->operationFailed(kFrequencyErrorTitle, description);
    } else {
        // A failed frequency change leaves polling stopped.
        std::erase_if(m_steps, [&](const Step& s) { return s.op == step.op; });
        m_services.events->operationFailed(kFrequencyErrorTitle, description);
    }
}

void RigController::runSteps() {
    while (!m_steps.empty()) {
        Step step = std::move(m_steps.front());
        m_steps.pop_front();
        switch (step.kind) {
        case Step::Kind::Events:
            later(0);
            return;
        case Step::Kind::Pause:
            later(step.ms);
            return;
        case Step::Kind::Drain:
            m_drainStart = m_services.clock->steadyNow();
            drainCheck();
            return;
        case Step::Kind::Discard:
            if (CatPort* link = port()) {
                link->readAll();
            }
            m_reply.clear(); // a reply half collected is as stale as the rest
            break;
        case Step::Kind::Send:
            if (port() != nullptr) {
                port()->takeCommandError(); // a stale refusal is not this command's
            }
            if (!step.bytes.empty() && (port() == nullptr || !port()->write(step.bytes))) {
                fail(step, kPortClosedText);
            }
            break;
        case Step::Kind::Confirm:
            if (CatPort* link = port()) {
                std::string refusal = link->takeCommandError();
                if (!refusal.empty()) {
                    fail(step, refusal);
                }
            }
            break;
        case Step::Kind::WritePegasus: {
            core::FileResult r =
                core::replaceAtomically(core::joinPath(m_services.pegasusFolder, kPegasusInFile),
                                        pegasusInContent(step.mhz, m_reading.mode));
            if (!r.ok()) {
                fail(step, r.error);
            }
            break;
        }
        case Step::Kind::StartPolling:
            // The time the change took is no silence of the rig's.
            m_lastAnswerAt = m_services.clock->steadyNow();
            m_services.timer->start(pollIntervalMs(m_settings.pollRate));
            break;
        }
    }
    m_running = false;
}

} // namespace wexon::rig
