#pragma once

#include <deque>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include <QString>

#include "core/contact_status.h"
#include "core/country_table.h"
#include "rig/cat_port.h"
#include "spots/spot_links.h"
#include "ui/spots/band_map_host.h"

namespace wexon::test {

// The main window as the spot displays see it, recording what they asked for.
class FakeSpotHost : public ui::SpotHost {
  public:
    std::string bandText = "20";
    std::string own = "K1ABC";
    float utcOffset = 5.0f;
    std::string lastCall = "W1AW";
    bool rig = true;
    core::CountryTable countries;

    std::vector<float> tuned;
    std::vector<std::pair<std::string, bool>> entered;
    int focusCalls = 0;
    QString dialogText;
    QString dupeText;
    int warnings = 0;
    int savePrefs = 0;

    std::string band() const override { return bandText; }
    std::string ownCall() const override { return own; }
    float utcOffsetHours() const override { return utcOffset; }
    std::string lastLoggedCall() const override { return lastCall; }
    QString windowCaption() const override { return "Wexon CQ WPX Contest Logger"; }
    const core::CountryTable& countryTable() const override { return countries; }
    bool rigSelected() const override { return rig; }
    void changeFrequency(float mhz) override { tuned.push_back(mhz); }
    void focusCall() override { ++focusCalls; }
    void enterCall(const std::string& call, bool tab) override { entered.emplace_back(call, tab); }
    void showSpottedWarning(const QString& dialog, const QString& dupe) override {
        ++warnings;
        dialogText = dialog;
        dupeText = dupe;
    }
    void showPossibleDupes(const QString& text) override { dupeText = text; }
    void savePref() override { ++savePrefs; }

    // Without a rule every spot is ordinary.
    std::function<core::ContactStatusResult(const std::string&)> statusRule;
    std::set<std::string> known;
    std::optional<double> rigMhz;
    std::vector<std::string> said;
    core::ContactStatusResult contactStatus(const std::string& call) const override {
        return statusRule ? statusRule(call) : core::ContactStatusResult{};
    }
    bool knownCall(const std::string& call) const override { return known.count(call) > 0; }
    std::optional<double> rigFrequency() const override { return rigMhz; }
    void sayCall(const std::string& call) override { said.push_back(call); }
};

// An AGW link that records the frames it is given and hands out queued ones.
class FakeAgwLink : public spots::AgwLink {
  public:
    struct Put {
        std::string call;
        std::string data;
        char kind;
    };
    bool startResult = true;
    int starts = 0;
    int closes = 0;
    std::vector<Put> puts;
    std::deque<spots::AgwReceived> incoming;

    bool startPoll(const std::string&, const std::string&) override {
        ++starts;
        return startResult;
    }
    void putData(const std::string& call, const std::string& data, char kind) override {
        puts.push_back({call, data, kind});
    }
    bool getData(spots::AgwReceived& frame) override {
        if (incoming.empty()) {
            return false;
        }
        frame = incoming.front();
        incoming.pop_front();
        return true;
    }
    void close() override { ++closes; }
};

// A serial port in memory.
class FakeCatPort : public rig::CatPort {
  public:
    bool openFails = false;
    bool open_ = false;
    rig::PortRequest lastRequest;
    std::string written;
    std::string input;

    std::string open(const rig::PortRequest& r) override {
        lastRequest = r;
        if (openFails) {
            return "busy";
        }
        open_ = true;
        return {};
    }
    void close() override { open_ = false; }
    bool isOpen() const override { return open_; }
    bool write(std::string_view bytes) override {
        written.append(bytes);
        return open_;
    }
    std::string readAll() override {
        std::string s;
        s.swap(input);
        return s;
    }
    int bytesToWrite() const override { return 0; }
    void setDtr(bool) override {}
    void setRts(bool) override {}
};

} // namespace wexon::test
