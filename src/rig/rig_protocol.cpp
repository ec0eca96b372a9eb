#include "rig/rig_protocol.h"

#include "rig/hex_bytes.h"
#include "rig/icom.h"
#include "rig/kenwood.h"
#include "rig/rigctld_protocol.h"
#include "rig/tentec.h"
#include "rig/yaesu.h"
#include "rig/yaesu_text.h"

namespace wexon::rig {

std::string pollCommand(const RigProfile& profile, const RigSettings& s, PollState& state) {
    const std::string& freq = s.frequencyRead;
    const std::string& mode = s.modeRead;
    std::string out;
    auto alternate = [&](std::size_t minLength, std::size_t pairs, bool hex) {
        const std::string& text = state.nextQuery == 0 ? freq : mode;
        if (text.size() >= minLength) {
            out = hex ? bytesFromSpacedHex(text, pairs) : text;
        }
        state.nextQuery = state.nextQuery == 0 ? 1 : 0;
    };
    switch (profile.poll) {
    case PollStyle::Nothing:
        break;
    case PollStyle::TextBoth:
        out = freq + mode;
        break;
    case PollStyle::CivAlternate:
        alternate(17, 6, true);
        break;
    case PollStyle::YaesuFive:
        if (freq.size() > 13) {
            out = bytesFromSpacedHex(freq, 5);
        }
        break;
    case PollStyle::TextAlternate:
        alternate(2, 0, false);
        break;
    case PollStyle::PanelAlternate:
        alternate(7, 3, true);
        break;
    case PollStyle::TextWithCr:
        if (!freq.empty()) {
            out += freq + "\r";
        }
        if (!mode.empty()) {
            out += mode + "\r";
        }
        break;
    case PollStyle::Custom:
        if (s.convertToHex == 1) {
            out = bytesFromSpacedHex(freq) + bytesFromSpacedHex(mode);
        } else {
            out = freq + mode;
        }
        break;
    case PollStyle::Rigctld:
        out = rigctldPollCommand();
        break;
    }
    return out;
}

std::size_t expectedReplyBytes(const RigProfile& profile) {
    return yaesuReplyBytes(profile.parser, profile.window);
}

void parseReply(const RigProfile& profile, const RigSettings& s, int nextQuery,
                std::string_view reply, RigReading& reading) {
    switch (profile.parser) {
    case ParserKind::None:
    case ParserKind::Pegasus:
        break;
    case ParserKind::Kenwood:
        parseKenwood(reply, s.frequencyRead, reading);
        break;
    case ParserKind::Kenwood2:
        parseKenwood2(reply, reading);
        break;
    case ParserKind::Civ:
    case ParserKind::Civ735:
        if (nextQuery == 1) {
            parseCivFrequency(reply, profile.parser == ParserKind::Civ735, reading);
        } else {
            parseCivMode(reply, reading);
        }
        break;
    case ParserKind::Yaesu:
        parseYaesu(reply, reading);
        break;
    case ParserKind::Yaesu757:
        parseYaesu757(reply, reading);
        break;
    case ParserKind::YaesuWindow:
        parseYaesuWindow(reply, profile.window, reading);
        break;
    case ParserKind::TenTecPanel:
        if (nextQuery == 1) {
            parseTenTecPanelFrequency(reply, reading);
        } else {
            parseTenTecPanelMode(reply, reading);
        }
        break;
    case ParserKind::FtDx9000:
        parseYaesuText(reply, s.frequencyRead, s.modeRead, reading);
        break;
    case ParserKind::Orion:
        parseOrion(reply, reading);
        break;
    case ParserKind::Rigctld:
        parseRigctldReply(reply, reading);
        break;
    }
}

std::string frequencyCommand(const RigProfile& profile, const RigSettings& s, float mhz,
                             const RigReading& reading) {
    switch (profile.frequencyCommand) {
    case FrequencyCommand::None:
    case FrequencyCommand::Pegasus:
        return {};
    case FrequencyCommand::KenwoodText:
        return kenwoodFrequencyCommand(std::string_view(s.frequencyRead).substr(0, 2), mhz);
    case FrequencyCommand::Kenwood2Text:
        return kenwoodFrequencyCommand(reading.vfo == 1 ? "FB" : "FA", mhz);
    case FrequencyCommand::ElecraftText:
        return kenwoodFrequencyCommand("FA", mhz);
    case FrequencyCommand::Civ:
        return civFrequencyCommand(civAddress(s.frequencyRead), mhz, false);
    case FrequencyCommand::Civ735:
        return civFrequencyCommand(civAddress(s.frequencyRead), mhz, true);
    case FrequencyCommand::Panel:
        return tenTecPanelFrequencyCommand(mhz);
    case FrequencyCommand::Orion:
        return orionFrequencyCommand(mhz);
    case FrequencyCommand::YaesuMsbFirst:
        return yaesuFrequencyCommand(mhz, true);
    case FrequencyCommand::YaesuLsbFirst:
        return yaesuFrequencyCommand(mhz, false);
    case FrequencyCommand::FtDx9000Text:
        return yaesuTextFrequencyCommand(std::string_view(s.frequencyRead).substr(0, 2), mhz);
    case FrequencyCommand::Rigctld:
        return rigctldFrequencyCommand(mhz);
    }
    return {};
}

std::string modeCommand(const RigProfile& profile, const RigSettings& s, std::string_view mode) {
    switch (profile.modeTable) {
    case ModeTable::None:
        return {};
    case ModeTable::Civ:
        return civModeCommand(civAddress(s.frequencyRead), mode);
    case ModeTable::Kenwood:
        return kenwoodModeCommand(mode);
    case ModeTable::FtDx9000:
        return yaesuTextModeCommand(s.modeRead, mode);
    case ModeTable::YaesuOpcode0C:
    case ModeTable::YaesuOpcode07:
        return yaesuModeCommand(mode, profile.modeTable);
    case ModeTable::Rigctld:
        return rigctldModeCommand(mode);
    }
    return {};
}

} // namespace wexon::rig
