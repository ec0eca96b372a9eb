#include "core/preferences.h"

#include <cmath>
#include <limits>

#include "core/number_format.h"
#include "core/quoted_form.h"

namespace wexon::core {

namespace {

class PrefReader {
  public:
    explicit PrefReader(std::string_view bytes) : m_reader(bytes) {}

    bool text(std::string& out, const char* name) {
        if (!next(name)) {
            return false;
        }
        out = m_value;
        return true;
    }
    bool real(float& out, const char* name) {
        if (!next(name)) {
            return false;
        }
        auto v = parseNumber(m_value);
        if (!v || std::fabs(*v) > std::numeric_limits<float>::max()) {
            m_error = std::string("the value of ") + name + " is not a number";
            return false;
        }
        out = static_cast<float>(*v);
        return true;
    }
    bool byte(std::uint8_t& out, const char* name) {
        if (!next(name)) {
            return false;
        }
        auto v = parseNumber(m_value);
        if (!v || std::round(*v) < 0 || std::round(*v) > 255) {
            m_error = std::string("the value of ") + name + " is not a whole number from 0 to 255";
            return false;
        }
        out = static_cast<std::uint8_t>(std::lround(*v));
        return true;
    }
    const std::string& error() const { return m_error; }

  private:
    bool next(const char* name) {
        if (!m_reader.next(m_value)) {
            m_error = std::string("the value of ") + name + " is missing";
            return false;
        }
        return true;
    }
    FieldReader m_reader;
    std::string m_value;
    std::string m_error;
};

} // namespace

PreferencesReadResult parsePreferences(std::string_view bytes) {
    PreferencesReadResult r;
    Preferences& p = r.prefs;
    PrefReader in(bytes);
    bool ok = in.text(p.ownCall, "the own call") && in.real(p.utcOffset, "the UTC offset") &&
              in.text(p.contestMode, "the contest mode") && in.text(p.band, "the band") &&
              in.real(p.timeOnSeconds, "the operating time") &&
              in.text(p.ownCountry, "the own country") &&
              in.text(p.ownContinent, "the own continent") &&
              in.real(p.ownLongitude, "the own longitude") &&
              in.real(p.ownLatitude, "the own latitude") &&
              in.byte(p.serialPerBand, "the serial counting") &&
              in.byte(p.formSizePercent, "the form size") &&
              in.byte(p.voiceNavigation, "the voice navigation") &&
              in.text(p.rigName, "the rig name") && in.byte(p.taskbarMode, "the taskbar mode") &&
              in.byte(p.listPrevious, "the list-previous option");
    if (!ok) {
        r.error = in.error();
    }
    return r;
}

std::string serializePreferences(const Preferences& p) {
    FieldWriter w;
    w.text(p.ownCall).endLine();
    w.number(p.utcOffset).endLine();
    w.text(p.contestMode).endLine();
    w.text(p.band).endLine();
    w.number(p.timeOnSeconds).endLine();
    w.text(p.ownCountry).endLine();
    w.text(p.ownContinent).endLine();
    w.number(p.ownLongitude).endLine();
    w.number(p.ownLatitude).endLine();
    w.integer(p.serialPerBand).endLine();
    w.integer(p.formSizePercent).endLine();
    w.integer(p.voiceNavigation).endLine();
    w.text(p.rigName).endLine();
    w.integer(p.taskbarMode).endLine();
    w.integer(p.listPrevious).endLine();
    return w.str();
}

} // namespace wexon::core
