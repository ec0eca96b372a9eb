// The main window's side of the entry workflow: what follows a changed box,
// the partial and exact duplicate checks, logging a contact, the window's own
// keys, the operating time, the clocks, the rates and the score.

#include "ui/main/main_window.h"

#include <cstdlib>
#include <initializer_list>

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QSignalBlocker>
#include <QTimer>

#include "core/completeness.h"
#include "core/contact_builder.h"
#include "core/dupe_check.h"
#include "core/entry_window_keys.h"
#include "core/post_contest.h"
#include "core/qso_points.h"
#include "core/qso_rates.h"
#include "core/score.h"
#include "core/text_util.h"
#include "core/wpx_prefix.h"
#include "ui/common/text_conversion.h"
#include "ui/main/country_completion.h"
#include "ui/main/log_list_model.h"
#include "ui/main/main_window_labels.h"
#include "ui/main/score_panel.h"

namespace wexon::ui {

using core::EntryBox;
using core::MessageColour;

namespace {

// The key code the window's key rules take: F1 = 112 ... F12 = 123, the arrows,
// Esc and Backspace by their codes, letters as capitals.
int windowKeyCode(const QKeyEvent* e) {
    const int k = e->key();
    if (k >= Qt::Key_F1 && k <= Qt::Key_F12) {
        return core::window_key::kF1 + (k - Qt::Key_F1);
    }
    switch (k) {
    case Qt::Key_Up:
        return core::window_key::kUp;
    case Qt::Key_Down:
        return core::window_key::kDown;
    case Qt::Key_Left:
        return 37;
    case Qt::Key_Right:
        return 39;
    case Qt::Key_Escape:
        return core::window_key::kEscape;
    case Qt::Key_Backspace:
        return core::window_key::kBackspace;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 13;
    case Qt::Key_Tab:
        return 9;
    case Qt::Key_Delete:
        return 46;
    default:
        break;
    }
    return (k > 0 && k < 128) ? k : 0;
}

} // namespace

// ---------------------------------------------------------------- hooks

void MainWindow::setCwKeyer(CwKeyerHook* keyer) {
    m_cwKeyer = keyer != nullptr ? keyer : &m_noCwKeyer;
}
void MainWindow::setVoiceKeyer(VoiceKeyerHook* keyer) {
    m_voiceKeyer = keyer != nullptr ? keyer : &m_noVoiceKeyer;
}
void MainWindow::setVoicePrompter(VoicePrompterHook* prompter) {
    m_prompter = prompter != nullptr ? prompter : &m_noPrompter;
}
void MainWindow::setToolWindows(ToolWindowsHook* windows) {
    m_tools = windows != nullptr ? windows : &m_noToolWindows;
}
void MainWindow::setDigitalLink(DigitalLinkHook* link) {
    m_link = link != nullptr ? link : &m_noLink;
}

void MainWindow::sendToLink(const char* item, const QString& value) {
    if (core::equalsIgnoreCase(m_contest.prefs.contestMode, "RY") && m_link->connected()) {
        m_link->sendItem(item, latin1Only(value));
    }
}

// ---------------------------------------------------------------- what a changed box sets off

void MainWindow::boxChanged(EntryBox box) {
    core::EntryRow& row = m_entry->row();
    switch (box) {
    case EntryBox::Call:
        m_entry->apply(row.setText(EntryBox::Pref, core::derivePrefix(row.text(EntryBox::Call))));
        lookupCountry();
        sendToLink("txtBUrCall", fromLatin1(row.text(EntryBox::Call)));
        break;
    case EntryBox::Cntry:
        runPointsRule();
        break;
    case EntryBox::Pref:
        updateNewFlag();
        break;
    case EntryBox::Rsts:
        sendToLink("txtBField1", fromLatin1(row.text(EntryBox::Rsts)));
        break;
    default:
        break;
    }
}

void MainWindow::runPointsRule() {
    const core::EntryRow& row = m_entry->row();
    std::string continent;
    if (m_foundCountryIndex > 0 && m_foundCountryIndex <= m_contest.countries.count()) {
        continent = m_contest.countries.entry(m_foundCountryIndex).continent;
    }
    const core::Preferences& p = m_contest.prefs;
    core::PointsQuery q{
        row.text(EntryBox::Cntry), continent, p.ownCountry, p.ownContinent, p.contestMode, p.band};
    // Selected whole, so that a typed digit replaces it.
    m_entry->apply(m_entry->row().setTextSelected(EntryBox::Points, core::qsoPointsText(q)));
}

void MainWindow::updateNewFlag() {
    Label14->setVisible(core::isNewPrefix(prefixes(), m_entry->row().text(EntryBox::Pref)));
}

void MainWindow::beforeKey(EntryBox box) {
    if (box == EntryBox::Cntry) {
        m_foundContinent.clear();
    }
}

void MainWindow::showMessage(const std::string& text, MessageColour colour) {
    setLabelValue(lblDialog, fromLatin1(text));
    setDialogColour(colour);
}

void MainWindow::setDialogColour(MessageColour colour) {
    const char* name = nullptr;
    switch (colour) {
    case MessageColour::Unchanged:
        return;
    case MessageColour::Teal:
        name = kDialogTeal;
        break;
    case MessageColour::Red:
        name = kDialogRed;
        break;
    case MessageColour::LightYellow:
        name = kDialogYellow;
        break;
    }
    QPalette pal = lblDialog->palette();
    pal.setColor(QPalette::Window, QColor(name));
    lblDialog->setPalette(pal);
}

void MainWindow::beep() {
    m_services.prompts->beep();
}

void MainWindow::clearCountryLabels() {
    clearLabelValue(Label19);
    clearLabelValue(Label22);
    clearLabelValue(Label23);
}

void MainWindow::clearDupeLabelColour() {
    QPalette pal = lblDupe->palette();
    pal.setColor(QPalette::Window, palette().color(QPalette::Button));
    lblDupe->setPalette(pal);
}

void MainWindow::clearDupeLabel() {
    clearLabelValue(lblDupe);
    clearDupeLabelColour();
}

void MainWindow::voicePrompt(const std::string& name) {
    m_prompter->playPrompt(name);
}

void MainWindow::callGotFocus() {
    cmdEdit->hide();
    cmdDelete->hide();
    // Back from a previous-contacts view: the list shows the log again.
    const int shown = m_logListModel->rowCount();
    if (shown < 18 && m_contest.qsoCount() > shown && m_entry->row().text(EntryBox::Call).empty()) {
        fillLogList();
    }
}

void MainWindow::focusAfter(QWidget* widget) {
    for (QWidget* next = widget->nextInFocusChain(); next != nullptr && next != widget;
         next = next->nextInFocusChain()) {
        if (next->window() == this && next->isEnabled() && next->isVisibleTo(this) &&
            (next->focusPolicy() & Qt::TabFocus)) {
            next->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

void MainWindow::focusNextControl() {
    focusAfter(txtPoints);
}

// ---------------------------------------------------------------- country completion

void MainWindow::completeCountry(int key) {
    const core::EntryBoxState& s = m_entry->row().box(EntryBox::Cntry);
    int index = 0;
    {
        QSignalBlocker block(txtCntry);
        // Completion works on the box as the row holds it.
        txtCntry->setText(fromLatin1(s.text));
        if (s.selLength > 0) {
            txtCntry->setSelection(s.selStart, s.selLength);
        } else {
            txtCntry->setCursorPosition(s.cursor);
        }
        index = typeCountryKey(*txtCntry, QChar(static_cast<char16_t>(key)), m_contest.countries);
    }
    if (index > 0) {
        const core::CountryEntry& e = m_contest.countries.entry(index);
        setLabelValue(Label19, fromLatin1(e.continent));
        m_foundCountryIndex = index;
        m_foundContinent = e.continent;
        hdCalc(e.latitude, e.longitude);
    }
    const int start =
        txtCntry->hasSelectedText() ? txtCntry->selectionStart() : txtCntry->cursorPosition();
    m_entry->apply(m_entry->row().setBox(EntryBox::Cntry, latin1Only(txtCntry->text()),
                                         txtCntry->cursorPosition(), start,
                                         static_cast<int>(txtCntry->selectedText().size())));
}

// ---------------------------------------------------------------- duplicates

void MainWindow::partialDupes(int key, const std::string& callBefore) {
    setDialogColour(MessageColour::Teal);
    core::PartialDupeQuery q;
    q.callBox = callBefore;
    q.key = key;
    q.band = m_contest.prefs.band;
    q.listOn = m_partialDupes;
    q.loggedOn = m_opTime.loggedOn();
    core::PartialDupes r = core::showPartialDupes(dupes(), q);
    setLabelValue(lblDupe, fromLatin1(r.list));
    QPalette pal = lblDupe->palette();
    pal.setColor(QPalette::Window,
                 r.list.empty() ? palette().color(QPalette::Button) : QColor(kDialogTeal));
    lblDupe->setPalette(pal);
    if (r.dialog) {
        setLabelValue(lblDialog, fromLatin1(*r.dialog));
    }
    if (r.beep) {
        beep();
    }
}

bool MainWindow::dupCheck() {
    core::EntryRow& row = m_entry->row();
    const bool listPrevious = mnuListPrevious->isChecked() && cmdEdit->isHidden();
    // The whole station's log: a call another station worked on this band is a
    // duplicate here too, and the message names that station.
    core::DupeCheck r =
        m_stationLog.dupcheck(row.text(EntryBox::Call), m_contest.prefs.band, listPrevious);
    if (listPrevious) {
        std::vector<int> numbers;
        numbers.reserve(r.previous.size());
        for (const core::LogListRow& listed : r.previous) {
            numbers.push_back(std::atoi(listed[0].c_str()));
        }
        m_logListModel->showRecords(std::move(numbers));
    }
    if (!r.found()) {
        return false;
    }
    showMessage(r.message, MessageColour::Red);
    clearDupeLabel();
    beep();
    // The word is not waited for: the keys typed meanwhile are held instead.
    m_prompter->playDupe();
    m_entry->duplicateFound();
    m_entry->apply(row.clearAfterDupe());
    return true;
}

void MainWindow::cmdDupClick() {
    m_partialDupes = !m_partialDupes;
    cmdDup->setText(m_partialDupes ? "On" : "Off");
    clearDupeLabelColour();
    m_entry->apply(m_entry->row().focusBox(EntryBox::Call));
    txtCall->setFocus(Qt::OtherFocusReason);
}

void MainWindow::listPreviousToggled(bool checked) {
    m_contest.prefs.listPrevious = checked ? 1 : 0;
    savePref();
}

// ---------------------------------------------------------------- logging

void MainWindow::mains() {
    core::EntryRow& row = m_entry->row();
    core::ContactContext context;
    context.band = m_contest.prefs.band;
    context.serialSent = latin1Only(Label4->text());
    context.lastFrequency = m_contest.lastFrequency;

    if (!txtPostConDate->isHidden()) {
        core::PostContestCheck check = core::checkPostContest(latin1Only(txtPostConDate->text()),
                                                              latin1Only(txtPostConTime->text()));
        if (check.date) {
            txtPostConDate->setText(fromLatin1(*check.date));
        }
        if (check.time) {
            txtPostConTime->setText(fromLatin1(*check.time));
        }
        if (!check.ok) {
            showMessage(check.message, MessageColour::Unchanged);
            beep();
            return;
        }
        context.postContestDate = check.date;
        context.postContestTime = check.time;
    }

    if (!m_opTime.loggedOn()) {
        cmdLogOnClick();
    }

    const core::CompletenessResult complete = core::checkCompleteness(core::EntryTexts::from(row));
    if (complete.incomplete) {
        beep();
        showMessage(complete.message, MessageColour::Unchanged);
    }
    const bool duplicate = dupCheck();
    // Points that were never typed stay missing: a "0" put into the box here
    // would let the next Enter log the contact at no points.
    if (!complete.incomplete && !duplicate) {
        m_entry->apply(
            row.setText(EntryBox::Points, core::pointsOrZero(row.text(EntryBox::Points))));
        core::QsoRecord record =
            core::buildContact(core::EntryTexts::from(row), context, m_services.clock->utcNow());
        // Before the append: a note about a repaired log line may follow it.
        showMessage(" ", MessageColour::Teal);
        if (!appendQso(record)) {
            // The contact was not stored: it stays on the screen, with the
            // frequency it was made on, for another try.
            return;
        }
        labelIncrement();
    }
    clearDupeLabel();
    labelDisplay();
    timeStats();
    if (complete.incomplete) {
        // The contact is still being entered: it keeps the frequency it is
        // being made on until it is logged.
        if (!duplicate) {
            m_entry->apply(row.focusBox(complete.focus));
        }
        return;
    }
    m_entry->apply(row.clearAfterContact());
    m_contest.lastFrequency.clear();
}

// ---------------------------------------------------------------- post-contest mode

void MainWindow::mnuPostContestClick() {
    const bool on = txtPostConDate->isHidden();
    for (QWidget* w : std::initializer_list<QWidget*>{txtPostConDate, txtPostConTime,
                                                      lblPostConDate, lblPostConTime}) {
        w->setVisible(on);
    }
    mnuPostContest->setChecked(on);
}

bool MainWindow::postContestKey(QLineEdit* box, QKeyEvent* e) {
    int key = 0;
    switch (e->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        key = 13;
        break;
    case Qt::Key_Space:
        key = 32;
        break;
    case Qt::Key_Backspace:
        key = 8;
        break;
    default: {
        const QString text = e->text();
        if (text.isEmpty() || text.at(0).unicode() < 32 || text.at(0).unicode() == 127) {
            return false; // arrows, Delete, Home, End edit the box
        }
        if (e->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) {
            return false;
        }
        key = text.size() == 1 && text.at(0).unicode() <= 255 ? text.at(0).unicode() : 0;
        break;
    }
    }
    const core::PostContestKeyAction action =
        box == txtPostConDate ? core::postContestDateKey(key) : core::postContestTimeKey(key);
    switch (action) {
    case core::PostContestKeyAction::Insert:
        return false;
    case core::PostContestKeyAction::Drop:
        return true;
    case core::PostContestKeyAction::FocusNext:
        focusAfter(box);
        return true;
    case core::PostContestKeyAction::LogContact:
        mains();
        return true;
    }
    return true;
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (windowKey(key)) {
            return true;
        }
        if (watched == txtPostConDate || watched == txtPostConTime) {
            return postContestKey(static_cast<QLineEdit*>(watched), key);
        }
    } else if (event->type() == QEvent::FocusIn) {
        if (watched == txtPostConDate) {
            if (auto fill = core::postContestDateFill(latin1Only(txtPostConDate->text()),
                                                      m_services.clock->localNow())) {
                txtPostConDate->setText(fromLatin1(*fill));
            }
            txtPostConDate->selectAll();
        } else if (watched == txtPostConTime) {
            txtPostConTime->selectAll();
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---------------------------------------------------------------- the window's own keys

core::WindowKeyState MainWindow::windowKeyState() const {
    core::WindowKeyState s;
    s.contestMode = m_contest.prefs.contestMode;
    s.cwInterface = m_cwKeyer->cwInterface();
    s.digitalLinkConnected = m_link->connected();
    s.cwRepeatArmed = m_cwKeyer->repeatArmed();
    s.phoneRepeatArmed = m_voiceKeyer->repeatArmed();
    s.winKeyOpen = m_cwKeyer->winKeyOpen();
    s.winKeyBusy = m_cwKeyer->winKeyBusy();
    s.voicePlaying = m_voiceKeyer->isPlaying();
    s.cwSending = cwSending || m_cwKeyer->isSending();
    s.keyboardCwMode = m_keyboardCwMode;
    s.keyboardRttyMode = m_keyboardRttyMode;
    return s;
}

bool MainWindow::windowKey(QKeyEvent* event) {
    const bool ctrl = (event->modifiers() & Qt::ControlModifier) != 0;
    const core::WindowKeyState state = windowKeyState();
    const core::WindowKeyDecision d = core::decideWindowKey(windowKeyCode(event), ctrl, state);
    if (d.stopCwRepeat) {
        if (d.clearWinKeyBuffer) {
            m_cwKeyer->clearWinKeyBuffer();
        }
        cwBuffer.clear();
        m_cwKeyer->clearCwBuffer();
        m_cwKeyer->stopRepeat();
    }
    if (d.stopPhoneRepeat) {
        m_voiceKeyer->stopRepeat();
    }
    using A = core::WindowKeyAction;
    switch (d.action) {
    case A::None:
    case A::Swallow:
        break;
    case A::OpenSpectrumMap:
        m_tools->runSpectrumMap();
        break;
    case A::ShowCwWindow:
        m_tools->showCwWindow();
        break;
    case A::ShowSpotting:
        m_tools->showSpotting();
        break;
    case A::OpenFreqPrivileges:
        m_tools->runFreqPrivileges();
        break;
    case A::OpenRigTune:
        m_tools->runRigTune();
        break;
    case A::ShowVoiceKeyer:
        m_tools->showVoiceKeyer();
        break;
    case A::ShowRigInterface:
        m_tools->showRigInterface();
        break;
    case A::ShowCwStrings:
        m_tools->showCwStrings();
        break;
    case A::FKeyPhone:
        m_voiceKeyer->fKeyPhone(d.code);
        break;
    case A::FKeyCw:
        m_cwKeyer->fKeyCw(d.code);
        break;
    case A::CwSpeedDown:
        showMessage(std::to_string(m_cwKeyer->speedDown()) + " WPM", MessageColour::Unchanged);
        break;
    case A::CwSpeedUp:
        showMessage(std::to_string(m_cwKeyer->speedUp()) + " WPM", MessageColour::Unchanged);
        break;
    case A::PassToLink:
        m_link->passKey(d.code);
        break;
    case A::SetKeyboardCwMode:
        m_keyboardCwMode = d.modeOn;
        m_cwKeyer->setKeyboardMode(d.modeOn);
        break;
    case A::SetKeyboardRttyMode:
        m_keyboardRttyMode = d.modeOn;
        m_link->setKeyboardMode(d.modeOn);
        break;
    case A::StopVoice:
        m_voiceKeyer->stop();
        break;
    case A::ClearKeyerAndCwBuffer:
        m_cwKeyer->clearWinKeyBuffer();
        cwBuffer.clear();
        m_cwKeyer->clearCwBuffer();
        break;
    case A::EmptyCwBuffer:
        cwBuffer.clear();
        m_cwKeyer->clearCwBuffer();
        break;
    case A::ClearRow:
        mnuClearClick();
        break;
    }
    if (d.message) {
        showMessage(d.message->text, d.message->colour);
    }
    if (d.consumed) {
        return true;
    }
    if (m_keyboardCwMode && core::equalsIgnoreCase(state.contestMode, "CW") && !ctrl) {
        // Typed characters go to the CW buffer, never to the boxes.
        std::vector<int> keys;
        if (event->key() == Qt::Key_Backspace) {
            keys.push_back(core::window_key::kBackspace);
        } else {
            for (char32_t c : event->text().toUcs4()) {
                keys.push_back(c <= 255 ? static_cast<int>(c) : 0);
            }
        }
        if (keys.empty()) {
            return false; // arrows and the like
        }
        for (int key : keys) {
            core::KeyboardCwChar c = core::keyboardCwChar(key, windowKeyState());
            switch (c.kind) {
            case core::KeyboardCwChar::Kind::Append:
                cwBuffer.push_back(c.ch);
                m_cwKeyer->keyboardCharacter(c.ch);
                if (c.startSending) {
                    m_cwKeyer->loopThroughCwBuffer();
                }
                break;
            case core::KeyboardCwChar::Kind::RemoveLast:
                if (!cwBuffer.empty()) {
                    cwBuffer.pop_back();
                }
                m_cwKeyer->cwBackspace();
                break;
            case core::KeyboardCwChar::Kind::WinKeyBackspace:
                m_cwKeyer->winKeyBackspace();
                break;
            case core::KeyboardCwChar::Kind::Drop:
                break;
            }
        }
        return true;
    }
    return false;
}

// ---------------------------------------------------------------- operating time, clocks, rates

void MainWindow::cmdLogOnClick() {
    core::OperatingTime::Toggle t = m_opTime.toggle(m_services.clock->utcNow());
    cmdLogOn->setText(m_opTime.caption());
    setDialog(fromLatin1(t.message));
    if (t.savePreferences) {
        m_contest.prefs.timeOnSeconds = m_opTime.savedSeconds();
        savePref();
    }
    m_entry->row().setLoggedOn(m_opTime.loggedOn());
}

void MainWindow::timer2Tick() {
    // Contacts and the UTC label read the system's UTC clock; the stored
    // offset is not used, since it goes stale when summer time begins or ends.
    const core::DateTime local = m_services.clock->localNow();
    const core::DateTime utc = m_services.clock->utcNow();
    m_scorePanel->showClocks(core::utcClockText(utc), core::localClockText(local),
                             core::amPmText(local));
    if (auto running = m_opTime.tick(utc)) {
        m_scorePanel->showOperatingTime(*running);
    }
}

void MainWindow::timeStats() {
    // Over the whole station's log, in whatever order its contacts came.
    m_scorePanel->showRates(m_stationLog.rates(m_services.clock->utcNow()));
}

void MainWindow::labelDisplay() {
    m_scorePanel->showScore(core::labelDisplay(m_stationLog.contactCount(), prefixes().count(),
                                               m_contest.totalPoints()));
    // The list of prefixes worked is rewritten only when it changed (most
    // contacts add no prefix) and, since it can hold thousands, a moment later
    // rather than on every new prefix of a run.
    if (m_prefixRevisionShown != m_stationLog.prefixRevision() && !m_prefixListRedraw->isActive()) {
        m_prefixListRedraw->start();
    }
}

void MainWindow::preFixLoad() {
    m_stationLog.rebuild();
    m_prefixRevisionShown = 0;
    updateNewFlag();
}

} // namespace wexon::ui
