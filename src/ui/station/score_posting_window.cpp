#include "ui/station/score_posting_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#include "output/score_report.h"
#include "platform/score_poster.h"
#include "ui/common/plain_text.h"
#include "ui/common/text_conversion.h"
#include "ui/station/station_broadcasts.h"

namespace wexon::ui {

namespace {

QLineEdit* makePostingLine(QWidget* parent, const char* name, int maxLength) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setMaxLength(maxLength);
    return box;
}

QComboBox* makeWordList(QWidget* parent, const char* name, const std::vector<std::string>& words) {
    auto* list = new QComboBox(parent);
    list->setObjectName(name);
    for (const std::string& w : words) {
        list->addItem(fromLatin1(w));
    }
    return list;
}

void selectWord(QComboBox* list, const std::string& word) {
    const int i = list->findText(fromLatin1(word));
    list->setCurrentIndex(i < 0 ? 0 : i);
}

} // namespace

ScorePostingWindow::ScorePostingWindow(StationBroadcasts& broadcasts, core::SettingsStore& settings,
                                       QWidget* parent)
    : QDialog(parent), m_broadcasts(broadcasts), m_settings(settings) {
    setObjectName("frmScorePosting");
    setWindowTitle("Live Score Posting");
    auto* outer = new QVBoxLayout(this);
    m_enabledCheck = new QCheckBox("&Post the claimed score", this);
    m_enabledCheck->setObjectName("chkScorePostOn");
    outer->addWidget(m_enabledCheck);
    auto* form = new QFormLayout;
    m_urlBox = makePostingLine(this, "txtScorePostUrl", 512);
    m_urlBox->setPlaceholderText("https://...");
    form->addRow("Scoreboard &address:", m_urlBox);
    m_userBox = makePostingLine(this, "txtScorePostUser", 128);
    form->addRow("&User name:", m_userBox);
    m_passwordBox = makePostingLine(this, "txtScorePostPassword", 128);
    m_passwordBox->setEchoMode(QLineEdit::Password);
    form->addRow("Pass&word:", m_passwordBox);
    m_operatorsBox = makePostingLine(this, "txtScorePostOperators", 256);
    m_operatorsBox->setPlaceholderText("the station's call");
    form->addRow("&Operators:", m_operatorsBox);
    m_clubBox = makePostingLine(this, "txtScorePostClub", 128);
    form->addRow("&Club:", m_clubBox);
    m_opsList = makeWordList(this, "cboScorePostOps", output::scoreClassOps());
    form->addRow("Operator category:", m_opsList);
    m_transmitterList =
        makeWordList(this, "cboScorePostTransmitter", output::scoreClassTransmitters());
    form->addRow("Transmitters:", m_transmitterList);
    m_assistedList = makeWordList(this, "cboScorePostAssisted", output::scoreClassAssisted());
    form->addRow("Assistance:", m_assistedList);
    m_powerList = makeWordList(this, "cboScorePostPower", output::scoreClassPowers());
    form->addRow("Power:", m_powerList);
    m_bandsList = makeWordList(this, "cboScorePostBands", output::scoreClassBands());
    form->addRow("Bands:", m_bandsList);
    outer->addLayout(form);
    m_errorLabel = plainLabel(QString(), this);
    m_errorLabel->setObjectName("lblScorePostError");
    m_errorLabel->setStyleSheet("color: #C00000;");
    outer->addWidget(m_errorLabel);
    // What the scoreboard answered is shown as the characters it holds, on one line.
    m_statusLabel = plainLabel(QString(), this);
    m_statusLabel->setObjectName("lblScorePostStatus");
    m_statusLabel->setWordWrap(false);
    outer->addWidget(m_statusLabel);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName("cmdScorePostOk");
    buttons->button(QDialogButtonBox::Cancel)->setObjectName("cmdScorePostCancel");
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        if (accept2()) {
            hide();
        }
    });
    connect(buttons, &QDialogButtonBox::rejected, this, [this] { hide(); });
    outer->addWidget(buttons);
    loadSettings();
}

void ScorePostingWindow::loadSettings() {
    const auto s = output::ScorePostingSettings::load(m_settings);
    m_enabledCheck->setChecked(s.enabled);
    m_urlBox->setText(fromLatin1(s.url));
    m_userBox->setText(fromLatin1(s.user));
    m_passwordBox->setText(fromLatin1(s.password));
    m_operatorsBox->setText(fromLatin1(s.operators));
    m_clubBox->setText(fromLatin1(s.club));
    selectWord(m_powerList, s.cls.power);
    selectWord(m_assistedList, s.cls.assisted);
    selectWord(m_transmitterList, s.cls.transmitter);
    selectWord(m_opsList, s.cls.ops);
    selectWord(m_bandsList, s.cls.bands);
    m_errorLabel->clear();
    showStatus(m_broadcasts.postingStatus());
}

bool ScorePostingWindow::accept2() {
    const QString url = m_urlBox->text().trimmed();
    if (m_enabledCheck->isChecked() && !platform::ScorePoster::acceptable(QUrl(url))) {
        m_errorLabel->setText("Give the scoreboard's http:// or https:// address.");
        return false;
    }
    output::ScorePostingSettings s;
    s.enabled = m_enabledCheck->isChecked();
    s.url = toLatin1(url);
    s.user = toLatin1(m_userBox->text().trimmed());
    s.password = toLatin1(m_passwordBox->text());
    s.operators = toLatin1(m_operatorsBox->text().simplified().toUpper());
    s.club = toLatin1(m_clubBox->text().trimmed());
    s.cls.power = toLatin1(m_powerList->currentText());
    s.cls.assisted = toLatin1(m_assistedList->currentText());
    s.cls.transmitter = toLatin1(m_transmitterList->currentText());
    s.cls.ops = toLatin1(m_opsList->currentText());
    s.cls.bands = toLatin1(m_bandsList->currentText());
    s.save(m_settings);
    m_errorLabel->clear();
    m_broadcasts.applySettings();
    return true;
}

void ScorePostingWindow::showStatus(const QString& text) {
    m_statusLabel->setText(text);
}

} // namespace wexon::ui
