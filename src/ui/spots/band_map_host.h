#pragma once

#include <optional>
#include <string>

#include <QString>

#include "core/contact_status.h"
#include "core/country_table.h"

namespace wexon::ui {

// What the spot displays need from the main window. The main window implements
// it; tests fake it.
class SpotHost {
  public:
    virtual ~SpotHost() = default;

    // The current band text ("20", ...), the own call and the UTC offset in hours.
    virtual std::string band() const = 0;
    virtual std::string ownCall() const = 0;
    virtual float utcOffsetHours() const = 0;
    // The call of the last contact in the log ("" when the log is empty).
    virtual std::string lastLoggedCall() const = 0;
    // The main window's caption (the AGW application name is taken from it).
    virtual QString windowCaption() const = 0;
    virtual const core::CountryTable& countryTable() const = 0;
    // True when a rig is chosen (rig name not "None").
    virtual bool rigSelected() const = 0;

    // Tunes the rig through the rig window's ChangeFrequency.
    virtual void changeFrequency(float mhz) = 0;
    // Focuses the call box.
    virtual void focusCall() = 0;
    // Focuses the call box and sets it to `call`; with `tab`, one Tab keystroke
    // follows so the entry moves on as if the call had been typed.
    virtual void enterCall(const std::string& call, bool tab) = 0;
    // The own call was spotted: beep, the message line shows `dialogText` and the
    // "Possible Duplicates" label `dupeText`, both on white.
    virtual void showSpottedWarning(const QString& dialogText, const QString& dupeText) = 0;
    // The "Possible Duplicates" label shows a spot's details.
    virtual void showPossibleDupes(const QString& text) = 0;
    // Saves the preference file (SavePref).
    virtual void savePref() = 0;

    // --- marking spots and jumping between them ---
    // Dupe, new prefix or ordinary for `call` on the current band, decided as
    // the entry row decides it (core::contactStatus over the station's log).
    virtual core::ContactStatusResult contactStatus(const std::string& /*call*/) const {
        return {};
    }
    // Whether the known-calls list holds `call` (a call one skimmer alone heard
    // and nobody knows is shown as unconfirmed).
    virtual bool knownCall(const std::string& /*call*/) const { return false; }
    // The rig's last frequency reading in MHz; nothing without one.
    virtual std::optional<double> rigFrequency() const { return std::nullopt; }
    // Spells the call through the voice prompts when voice navigation is on.
    virtual void sayCall(const std::string& /*call*/) {}
};

} // namespace wexon::ui
