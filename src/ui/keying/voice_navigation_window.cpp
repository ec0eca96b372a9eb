#include "ui/keying/voice_navigation_window.h"
#include "ui/common/plain_text.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace wexon::ui {

namespace {

constexpr const char* kFolderText = "Put the audio wave files in this program's working directory: ";

} // namespace

VoiceNavigationWindow::VoiceNavigationWindow(VoiceNavigationServices services, QWidget* parent)
    : QDialog(parent), m_services(std::move(services)) {
    setObjectName("BlindFrm");
    setWindowTitle("Voice Navigation Settings");
    auto* layout = new QVBoxLayout(this);
    auto* frame = new QGroupBox("Choose your preferred option:", this);
    frame->setObjectName("Frame1");
    auto* options = new QVBoxLayout(frame);
    m_offOption = new QRadioButton("Off", frame);
    m_offOption->setObjectName("Option1");
    m_callOnlyOption = new QRadioButton("Call Only", frame);
    m_callOnlyOption->setObjectName("Option2");
    m_allFieldsOption = new QRadioButton("All Data Fields", frame);
    m_allFieldsOption->setObjectName("Option3");
    const std::pair<QRadioButton*, keying::NavigationMode> choices[] = {
        {m_offOption, keying::NavigationMode::Off},
        {m_callOnlyOption, keying::NavigationMode::CallOnly},
        {m_allFieldsOption, keying::NavigationMode::AllFields}};
    for (auto [option, mode] : choices) {
        option->setAccessibleName("Voice navigation " + option->text());
        options->addWidget(option);
        // A mode is chosen by a click or by the arrow keys among the options.
        connect(option, &QRadioButton::toggled, this, [this, mode = mode](bool on) {
            if (on) {
                optionClicked(mode);
            }
        });
    }
    layout->addWidget(frame);
    m_folderLabel = plainLabel(QString(), this);
    m_folderLabel->setObjectName("Label1");
    m_folderLabel->setWordWrap(true);
    layout->addWidget(m_folderLabel);
    m_doneButton = new QPushButton("Done", this);
    m_doneButton->setObjectName("Command1");
    layout->addWidget(m_doneButton);
    connect(m_doneButton, &QPushButton::clicked, this, [this] { command1Click(); });
}

void VoiceNavigationWindow::formLoad() {
    m_folderLabel->setText(kFolderText + m_services.workingFolder);
    const keying::NavigationMode mode =
        m_services.mode ? m_services.mode() : keying::NavigationMode::Off;
    QRadioButton* option = mode == keying::NavigationMode::CallOnly    ? m_callOnlyOption
                           : mode == keying::NavigationMode::AllFields ? m_allFieldsOption
                                                                       : m_offOption;
    {
        QSignalBlocker block(option);
        option->setChecked(true);
    }
    // Selecting the option counts as a click, also when it was selected already.
    optionClicked(mode);
}

keying::NavigationMode VoiceNavigationWindow::chosenMode() const {
    if (m_callOnlyOption->isChecked()) {
        return keying::NavigationMode::CallOnly;
    }
    if (m_allFieldsOption->isChecked()) {
        return keying::NavigationMode::AllFields;
    }
    return keying::NavigationMode::Off;
}

void VoiceNavigationWindow::optionClicked(keying::NavigationMode mode) {
    if (m_services.speak) {
        m_services.speak(keying::modeChoicePrompts(mode));
    }
}

void VoiceNavigationWindow::command1Click() {
    const keying::NavigationMode mode = chosenMode();
    hide();
    if (m_services.saveMode) {
        m_services.saveMode(mode);
    }
    if (m_services.focusMainWindow) {
        m_services.focusMainWindow();
    }
}

void VoiceNavigationWindow::closeEvent(QCloseEvent* event) {
    event->ignore();
    hide();
    // Closing the window ends its prompt.
    if (m_services.stopSpeaking) {
        m_services.stopSpeaking();
    }
}

} // namespace wexon::ui
