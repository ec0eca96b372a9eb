#pragma once

#include <string>
#include <string_view>

namespace wexon::spots {

// Where the AGW Packet Engine can be downloaded, as the messages name it.
inline constexpr const char* kAgwDownloadAddress = "https://www.sv2agw.com/";

// The help shown in the terminal when a source is chosen: the paragraphs for that
// source, separated by line breaks.
std::string spottingHelp(std::string_view source);

// Captions and messages of the spotting window.
inline constexpr const char* kSendLabelTnc = "Send text  (Ctrl C or Esc for TNC Command mode):";
inline constexpr const char* kSendLabelAgw =
    "Send text (use : to send cmds such as :C TARNO or :D)";
inline constexpr const char* kSendLabelTelnet = "Type text to send and press enter:";

inline constexpr const char* kInvalidCommTitle = "Invalid Comm Settings.";
inline constexpr const char* kInvalidCommText =
    "The comm port that you selected for DX Spotting is either in use, invalid or the "
    "settings that you have selected are invalid.  Please select another combination or "
    "choose None for your DX Spot selection.";
inline constexpr const char* kCallRequiredTitle = "Call Sign Required!";
inline constexpr const char* kCallRequiredText =
    "Please enter your call sign on the setup form to transmit!";
inline constexpr const char* kAgwConnectCallTitle = "Call sign Required";
inline constexpr const char* kAgwConnectCallText =
    "You must enter a call sign to connect to such as :C TARNO";
inline constexpr const char* kAgwFailTitle = "Unable to connect to the AGW Packet Engine.";
// The message box text and the terminal text when the AGW link cannot start.
std::string agwFailureMessage();
std::string agwFailureTerminal();

} // namespace wexon::spots
