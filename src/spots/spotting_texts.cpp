#include "spots/spotting_texts.h"

#include <vector>

#include "core/text_util.h"

namespace wexon::spots {

namespace {

const char* const kGeneral[] = {
    "Use this form to configure your DX spotting options.  After you make your selections, a "
    "list or band map will display on the main form (as selected here) to keep you updated on "
    "the latest packet spots.",
    "The list will show the last 2-3 posts on the main form depending on your screen size.  The "
    "band map will display the prefixes posted for your current band.  To see the whole call "
    "and frequency, move your mouse over the prefix and observe either the tool tip or the "
    "Possible Duplicates box.",
    "The program keeps the last 50 DX posts regardless of band in memory. Your band map will "
    "cycle through these posts as they are received.  Posts received within the last 10 "
    "minutes will be yellow; posts 10-30 minutes old will be white and posts 30-60 minutes old "
    "will be gray.",
    "If you are using the program's rig control features, you can right click any spot "
    "displayed on the main form's band map or HF spectrum map to tune your rig to the spot "
    "frequency. Right clicking will not change frequency when displaying the DX spots in list "
    "mode.",
};

const char* const kTelnet[] = {
    "If you have an Internet connection (either telephone line or high speed), the Telnet "
    "option is very easy to implement.  Just connect to the Internet by your regular ISP and "
    "click Open on this form.  Type your call sign when prompted and press enter.",
};

const char* const kPacket[] = {
    "To use a Packet TNC, you will have to check your modem documentation for the proper serial "
    "port settings.  Use either Crtl C or the Esc key to send the Hex character to put your TNC "
    "in command mode (you do not have to press enter to send the Hex character).  Otherwise, "
    "just type and press enter to send text.",
    "One nice feature with the packet option is that you don't actually have to connect to "
    "another packet station.  Just click the DX Only check box so that only packets identified "
    "as DX will be displayed.  As long as DX posts are being transmitted the software will "
    "check recent posts to eliminate duplicate posts.  Even if you are connected, it is a good "
    "idea to check this box to eliminate miscellaneous comments, etc.",
};

const char* const kClosing[] = {
    "When you have configured your DX spotting options, click Open to initiate the "
    "communication.  Then click Done to return to the main form.",
    "If the list is being displayed on the main form, you can click on it to quickly return to "
    "this form.  To return the main form to the original display, select None from the "
    "spotting options.",
};

const char* const kHardware[] = {
    "This code was developed and tested with a Kantronics KPC3+ TNC.  I look forward to hearing "
    "about your experiences with different hardware.",
};

const char* const kAgwIntro = "This program will also interface with the AGW Packet Engine.  The "
                              "AGW Packet engine will interface with your existing sound card "
                              "(or TNC including Baypac) to send and receive Packet.  To use the "
                              "AGW Packet Engine:";
const char* const kAgwFailIntro =
    "Unable to connect to the AGW Packet Engine.  To use the AGW Packet Engine to send and "
    "receive packet with your soundcard or devices such a Baypac:";
const char* const kAgwRun = "- Run the Packet Engine software and configure it as described on "
                            "the AGW Packet Engine website for your sound card or TNC.";

std::string downloadLine() {
    return std::string("- Download the freely available software from ") + kAgwDownloadAddress;
}

template <std::size_t N>
void add(std::vector<std::string>& out, const char* const (&paragraphs)[N]) {
    for (const char* p : paragraphs) {
        out.emplace_back(p);
    }
}

void addAgw(std::vector<std::string>& out) {
    out.emplace_back(kAgwIntro);
    out.push_back(downloadLine());
    out.emplace_back("The file to download is AGWPE.zip.  Instructions for use are on this "
                     "website as well.");
    out.emplace_back(kAgwRun);
    out.emplace_back("- Click Open from this program.");
    out.emplace_back("To send a connect request using the AGW packet engine, type in the format "
                     "of");
    out.emplace_back(":C TARNO     or to disconnect :D");
    out.emplace_back("and press enter (you can also use the Esc key to add a colon).");
}

} // namespace

std::string spottingHelp(std::string_view source) {
    std::vector<std::string> p;
    if (core::equalsIgnoreCase(source, "TNC")) {
        add(p, kPacket);
        add(p, kClosing);
        add(p, kHardware);
    } else if (core::equalsIgnoreCase(source, "Telnet")) {
        add(p, kTelnet);
        add(p, kClosing);
    } else if (core::equalsIgnoreCase(source, "AGW Packet Engine")) {
        addAgw(p);
        add(p, kClosing);
        add(p, kHardware);
    } else {
        add(p, kGeneral);
        add(p, kTelnet);
        add(p, kPacket);
        addAgw(p);
        add(p, kClosing);
        add(p, kHardware);
    }
    std::string out;
    for (const std::string& s : p) {
        out += s;
        out += "\r\n\r\n";
    }
    return out;
}

std::string agwFailureMessage() {
    return std::string(kAgwFailIntro) + "\r\n\r\n" + downloadLine() + "\r\n\r\n" +
           "- Make sure the AGW Packet Engine software is running and configure it as described "
           "on the AGW Packet Engine website.";
}

std::string agwFailureTerminal() {
    return std::string(kAgwFailIntro) + "\r\n\r\n" + downloadLine() + "\r\n\r\n" + kAgwRun +
           "\r\n\r\n" + "- Click Open from this program.\r\n\r\n";
}

} // namespace wexon::spots
