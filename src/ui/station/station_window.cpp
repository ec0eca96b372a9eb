#include "ui/station/station_window.h"

#include "ui/main/country_completion.h"

#include <string>

#include <QApplication>
#include <QCheckBox>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>
#include <QValidator>

#include "core/number_format.h"
#include "core/text_util.h"
#include "ui/common/clickable_label.h"
#include "ui/common/plain_text.h"

namespace wexon::ui {

namespace {

// Text boxes hold 8-bit (Latin-1) text: characters outside it, and control
// characters, cannot be stored in the preference files and are refused, whether
// typed, pasted or dropped.
class Latin1TextValidator : public QValidator {
  public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        for (QChar c : input) {
            if (c.unicode() < 0x20 || c.unicode() == 0x7F || c.unicode() > 0xFF) {
                return Invalid;
            }
        }
        return Acceptable;
    }
};

// The coordinate and UTC boxes take only the characters from "-" to "9": minus
// sign, full stop, slash and digits.
class NumberCharactersValidator : public QValidator {
  public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        for (QChar c : input) {
            if (c < QLatin1Char('-') || c > QLatin1Char('9')) {
                return Invalid;
            }
        }
        return Acceptable;
    }
};

std::string latin1(const QLineEdit* box) {
    return box->text().toLatin1().toStdString();
}

QString fromLatin1(const std::string& text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

QString plainNumber(float value) {
    return fromLatin1(core::formatShortest(value));
}

float numberOf(const QLineEdit* box) {
    return static_cast<float>(core::parseNumber(latin1(box)).value_or(0.0));
}

// A lower-case letter as its capital, when the capital is an 8-bit character.
QChar capital(QChar c) {
    QChar upper = c.toUpper();
    return upper.unicode() <= 0xFF ? upper : c;
}

bool isPrintable(QChar c) {
    return c.unicode() >= 0x20 && c.unicode() != 0x7F;
}

} // namespace

StationWindow::StationWindow(const core::Preferences& prefs, const core::CountryTable& table,
                             core::SettingsStore& settings, core::SharedPreferences& shared,
                             Prompts& prompts, QWidget* parent)
    : QDialog(parent), m_table(table), m_settings(settings), m_shared(shared), m_prompts(prompts) {
    setObjectName(QStringLiteral("frmStationID"));
    setWindowTitle(QStringLiteral(" Amateur Station I.D."));
    buildControls();
    formLoad(prefs);
}

void StationWindow::buildControls() {
    const int charWidth = fontMetrics().averageCharWidth();

    auto makeBox = [&](const char* objectName, const QString& accessibleName, int chars,
                       QValidator* validator) {
        auto* box = new QLineEdit(this);
        box->setObjectName(QString::fromLatin1(objectName));
        box->setAccessibleName(accessibleName);
        box->setMinimumWidth(charWidth * chars);
        box->setValidator(validator);
        box->installEventFilter(this);
        return box;
    };
    // Created in tab order: call, country, continent, longitude, latitude, UTC.
    m_callBox = makeBox("Text1", QStringLiteral("Call sign"), 22, new Latin1TextValidator(this));
    m_countryBox = makeBox("Text2", QStringLiteral("Country"), 34, new Latin1TextValidator(this));
    m_continentBox =
        makeBox("Text3", QStringLiteral("Continent"), 22, new Latin1TextValidator(this));
    m_longitudeBox =
        makeBox("Text4", QStringLiteral("Longitude"), 22, new NumberCharactersValidator(this));
    m_latitudeBox =
        makeBox("Text7", QStringLiteral("Latitude"), 22, new NumberCharactersValidator(this));
    m_utcBox = makeBox("Text6", QStringLiteral("Hours added for UTC"), 22,
                       new NumberCharactersValidator(this));
    m_longitudeBox->setToolTip(QStringLiteral("Degrees, west positive"));
    m_latitudeBox->setToolTip(QStringLiteral("Degrees, north positive"));
    m_utcBox->setToolTip(QStringLiteral("Hours added to this computer's clock to give UTC"));

    auto* fields = new QGridLayout;
    fields->setColumnStretch(1, 1);
    fields->setHorizontalSpacing(charWidth * 2);
    struct Row {
        const char* labelName;
        const char* caption;
        QLineEdit* box;
    };
    const Row rows[] = {
        {"lblCallSign", "Please Enter your Call Sign:", m_callBox},
        {"lblCountry", "Your Country:", m_countryBox},
        {"lblContinent", "Your Continent:", m_continentBox},
        {"lblLongitude", "Your Longitude:", m_longitudeBox},
        {"lblLatitude", "Your Latitude:", m_latitudeBox},
        {"lblUtc", "Hours added for UTC:", m_utcBox},
    };
    int row = 0;
    for (const Row& r : rows) {
        auto* label = plainLabel(QString::fromLatin1(r.caption), this);
        label->setObjectName(QString::fromLatin1(r.labelName));
        label->setBuddy(r.box);
        fields->addWidget(label, row, 0, Qt::AlignLeft | Qt::AlignVCenter);
        fields->addWidget(r.box, row, 1);
        ++row;
    }

    auto* contestFrame = new QGroupBox(QStringLiteral("Contest:"), this);
    contestFrame->setObjectName(QStringLiteral("fraContest"));
    m_phoneOption = new QRadioButton(QStringLiteral("Phone"), contestFrame);
    m_phoneOption->setObjectName(QStringLiteral("Option1"));
    m_cwOption = new QRadioButton(QStringLiteral("CW"), contestFrame);
    m_cwOption->setObjectName(QStringLiteral("Option2"));
    m_rttyOption = new QRadioButton(QStringLiteral("RTTY"), contestFrame);
    m_rttyOption->setObjectName(QStringLiteral("Option5"));
    auto* contestLayout = new QVBoxLayout(contestFrame);
    contestLayout->addWidget(m_phoneOption);
    contestLayout->addWidget(m_cwOption);
    contestLayout->addWidget(m_rttyOption);
    contestLayout->addStretch(1);

    auto* serialFrame = new QGroupBox(QStringLiteral("Increment Serial # By:"), this);
    serialFrame->setObjectName(QStringLiteral("fraSerial"));
    m_individualBandOption = new QRadioButton(QStringLiteral("Individual Band"), serialFrame);
    m_individualBandOption->setObjectName(QStringLiteral("Option3"));
    m_allBandsOption = new QRadioButton(QStringLiteral("All Bands"), serialFrame);
    m_allBandsOption->setObjectName(QStringLiteral("Option4"));
    auto* serialLayout = new QVBoxLayout(serialFrame);
    serialLayout->addWidget(m_individualBandOption);
    serialLayout->addWidget(m_allBandsOption);
    serialLayout->addStretch(1);

    auto* frames = new QHBoxLayout;
    frames->addWidget(contestFrame, 1);
    frames->addWidget(serialFrame, 1);

    // The question is the label; the check box beside it carries the answer.
    // Clicking the label ticks the box as a check box's own text would.
    auto* vemoLabel = new ClickableLabel(QStringLiteral("Connect to Vemo RTTY?"), this);
    vemoLabel->setObjectName(QStringLiteral("lblVemoRtty"));
    lblVemoRtty = vemoLabel;
    chkVemoRtty = new QCheckBox(this);
    chkVemoRtty->setObjectName(QStringLiteral("chkVemoRtty"));
    chkVemoRtty->setAccessibleName(QStringLiteral("Connect to Vemo RTTY?"));
    vemoLabel->setBuddy(chkVemoRtty);
    connect(vemoLabel, &ClickableLabel::clicked, chkVemoRtty, [this] {
        if (chkVemoRtty->isEnabled()) {
            chkVemoRtty->toggle();
            chkVemoRtty->setFocus(Qt::MouseFocusReason);
        }
    });
    auto* vemoRow = new QHBoxLayout;
    vemoRow->addWidget(lblVemoRtty);
    vemoRow->addWidget(chkVemoRtty);
    vemoRow->addStretch(1);

    m_doneButton = new QPushButton(QStringLiteral("Done"), this);
    m_doneButton->setObjectName(QStringLiteral("Command1"));
    m_doneButton->setDefault(true);
    m_doneButton->setMinimumWidth(charWidth * 12);
    connect(m_doneButton, &QPushButton::clicked, this, &StationWindow::command1Click);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_doneButton);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addSpacing(charWidth);
    layout->addLayout(frames);
    layout->addLayout(vemoRow);
    layout->addSpacing(charWidth);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    for (QRadioButton* option : {m_phoneOption, m_cwOption, m_rttyOption}) {
        connect(option, &QRadioButton::toggled, this, &StationWindow::contestOptionChanged);
    }
    m_callBox->setFocus(Qt::OtherFocusReason);
}

void StationWindow::formLoad(const core::Preferences& prefs) {
    m_callBox->setText(fromLatin1(prefs.ownCall));
    m_utcBox->setText(plainNumber(prefs.utcOffset));
    m_countryBox->setText(fromLatin1(prefs.ownCountry));
    m_continentBox->setText(fromLatin1(prefs.ownContinent));
    m_longitudeBox->setText(plainNumber(prefs.ownLongitude));
    m_latitudeBox->setText(plainNumber(prefs.ownLatitude));

    if (core::equalsIgnoreCase(prefs.contestMode, "PH")) {
        m_phoneOption->setChecked(true);
    } else if (core::equalsIgnoreCase(prefs.contestMode, "CW")) {
        m_cwOption->setChecked(true);
    } else if (core::equalsIgnoreCase(prefs.contestMode, "RY")) {
        m_rttyOption->setChecked(true);
    }
    if (prefs.serialPerBand == 1) {
        m_individualBandOption->setChecked(true);
    } else {
        m_allBandsOption->setChecked(true);
    }

    m_storedVemoOption = core::leadingNumber(m_settings.read(kUserVemoOptionKey, "0")) != 0.0;
    chkVemoRtty->setChecked(m_storedVemoOption);
    contestOptionChanged();

    if (m_callBox->text().isEmpty()) {
        m_callBox->setText(fromLatin1(m_settings.read(kUserCallSignKey, "")));
    }
}

void StationWindow::contestOptionChanged() {
    const bool rtty = m_rttyOption->isChecked();
    lblVemoRtty->setEnabled(rtty);
    chkVemoRtty->setEnabled(rtty);
}

bool StationWindow::isNumberBox(const QObject* object) const {
    return object == m_longitudeBox || object == m_latitudeBox || object == m_utcBox;
}

bool StationWindow::eventFilter(QObject* watched, QEvent* event) {
    auto* box = qobject_cast<QLineEdit*>(watched);
    if (box != nullptr && box->parent() == this) {
        if (event->type() == QEvent::KeyPress) {
            return boxKeyPress(box, static_cast<QKeyEvent*>(event));
        }
        if (event->type() == QEvent::FocusOut && isNumberBox(box)) {
            const auto reason = static_cast<QFocusEvent*>(event)->reason();
            // Switching to another program or opening a menu is not leaving the box.
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason &&
                reason != Qt::MenuBarFocusReason) {
                numberBoxFocusOut(box);
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

bool StationWindow::boxKeyPress(QLineEdit* box, QKeyEvent* key) {
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        command1Click();
        return true;
    }
    if (box == m_countryBox) {
        return countryKeyPress(key);
    }
    const QString text = key->text();
    if ((box == m_callBox || box == m_continentBox) && text.size() == 1 && text[0].isLower()) {
        const QChar upper = capital(text[0]);
        if (upper != text[0]) {
            box->insert(QString(upper));
            return true;
        }
    }
    // The number boxes' character rule is kept by their validators, which also
    // cover pasted and dropped text.
    return false;
}

bool StationWindow::countryKeyPress(QKeyEvent* key) {
    const QString text = key->text();
    if (text.size() != 1) {
        return false;
    }
    QChar c = text[0];
    if (c == QLatin1Char('"')) {
        return true; // discarded
    }
    // Backspace and the editing shortcuts keep their usual meaning.
    if (!isPrintable(c)) {
        return false;
    }
    if (c.unicode() > 0xFF) {
        return true; // cannot be stored
    }
    const int index = typeCountryKey(*m_countryBox, c, m_table);
    if (index == 0) {
        return true;
    }
    const core::CountryEntry& entry = m_table.entry(index);
    m_longitudeBox->setText(plainNumber(entry.longitude));
    m_latitudeBox->setText(plainNumber(entry.latitude));
    m_continentBox->setText(fromLatin1(entry.continent));
    return true;
}

void StationWindow::numberBoxFocusOut(QLineEdit* box) {
    // The box the focus is being returned to takes it from another box with a
    // bad value; that other box is not checked, so two bad boxes cannot pass the
    // focus back and forth for ever.
    if (m_returningFocusTo != nullptr && m_returningFocusTo != box) {
        return;
    }
    // "Done" turns a value that is not a number into 0, so moving to it is allowed.
    if (!isVisible() || QApplication::focusWidget() == m_doneButton) {
        return;
    }
    if (core::isNumeric(latin1(box))) {
        return;
    }
    m_prompts.beep();
    m_returningFocusTo = box;
    QPointer<QLineEdit> target(box);
    QTimer::singleShot(0, this, [this, target] {
        if (target && isVisible()) {
            target->setFocus(Qt::OtherFocusReason);
            target->selectAll();
        }
        m_returningFocusTo = nullptr;
    });
}

void StationWindow::command1Click() {
    if (m_inDone) {
        return;
    }
    m_inDone = true;

    for (QLineEdit* box : {m_utcBox, m_latitudeBox, m_longitudeBox}) {
        if (!core::isNumeric(latin1(box))) {
            box->setText(QStringLiteral("0"));
        }
    }

    m_settings.write(kUserVemoOptionKey, chkVemoRtty->isChecked() ? "1" : "0");

    m_shared.set("OWN_CALL", latin1(m_callBox), false);
    m_shared.set("OWN_UTC", latin1(m_utcBox), false);
    m_shared.set("OWN_COUNTRY", latin1(m_countryBox), false);
    m_shared.set("OWN_LONGITUDE", latin1(m_longitudeBox), false);
    m_shared.set("OWN_LATITUDE", latin1(m_latitudeBox), false);
    const core::FileResult saved = m_shared.set("OWN_CONTINENT", latin1(m_continentBox), true);
    m_donePressed = true;
    if (!saved.ok()) {
        // The station values still reach the preference record; only the copy for
        // the other programs is missing.
        const std::string& path = m_shared.path();
        std::string description = saved.error;
        const std::string prefix = path + ": ";
        if (!path.empty() && description.compare(0, prefix.size(), prefix) == 0) {
            description.erase(0, prefix.size());
        }
        m_prompts.message(QStringLiteral("Unable to save shared preferences."),
                          fromLatin1(path) + QStringLiteral("  ") + fromLatin1(description),
                          Prompts::Icon::Exclamation);
    }

    m_inDone = false;
    accept();
}

core::Preferences StationWindow::applyTo(core::Preferences prefs) const {
    if (!m_donePressed) {
        // Closed without Done: the window reloads the stored values, and an empty
        // own call is filled from the settings store as it is when the window opens.
        if (prefs.ownCall.empty()) {
            prefs.ownCall = m_settings.read(kUserCallSignKey, "");
        }
        return prefs;
    }
    prefs.ownCall = latin1(m_callBox);
    prefs.utcOffset = numberOf(m_utcBox);
    if (m_phoneOption->isChecked()) {
        prefs.contestMode = "PH";
    } else if (m_cwOption->isChecked()) {
        prefs.contestMode = "CW";
    } else if (m_rttyOption->isChecked()) {
        prefs.contestMode = "RY";
    }
    prefs.ownCountry = latin1(m_countryBox);
    prefs.ownContinent = latin1(m_continentBox);
    prefs.ownLongitude = numberOf(m_longitudeBox);
    prefs.ownLatitude = numberOf(m_latitudeBox);
    prefs.serialPerBand = m_allBandsOption->isChecked() ? 0 : 1;
    return prefs;
}

bool StationWindow::connectVemoRtty() const {
    return m_donePressed ? chkVemoRtty->isChecked() : m_storedVemoOption;
}

} // namespace wexon::ui
