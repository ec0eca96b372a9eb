#pragma once

#include <functional>
#include <string>
#include <vector>

#include <QDialog>

#include "keying/voice_navigation.h"

class QLabel;
class QPushButton;
class QRadioButton;

namespace wexon::ui {

// What the voice navigation window needs from the program.
struct VoiceNavigationServices {
    QString workingFolder; // shown: the prompt files go there
    // The navigation mode now (the preference VoiceNavigation).
    std::function<keying::NavigationMode()> mode;
    // "Done": the chosen mode becomes the preference and is saved.
    std::function<void(keying::NavigationMode)> saveMode;
    // Speaks prompts in turn, without waiting.
    std::function<void(const std::vector<std::string>&)> speak;
    // Stops speaking (the window closes).
    std::function<void()> stopSpeaking;
    // Gives the focus back to the main window after "Done".
    std::function<void()> focusMainWindow;
};

// The voice navigation window `BlindFrm` ("Voice Navigation Settings"): the
// three modes, each spoken as it is chosen. Shown without blocking the main
// window; hidden, not destroyed, when closed.
class VoiceNavigationWindow : public QDialog {
  public:
    explicit VoiceNavigationWindow(VoiceNavigationServices services, QWidget* parent = nullptr);

    // The window's load: the folder label and the current mode's option,
    // whose prompt plays as if it had been clicked.
    void formLoad();
    // "Done": the chosen mode is saved and the window hides.
    void command1Click();
    // The mode of the selected option (Off when none is).
    keying::NavigationMode chosenMode() const;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void optionClicked(keying::NavigationMode mode);

    VoiceNavigationServices m_services;
    QLabel* m_folderLabel = nullptr;          // Label1
    QRadioButton* m_offOption = nullptr;      // Option1
    QRadioButton* m_callOnlyOption = nullptr; // Option2
    QRadioButton* m_allFieldsOption = nullptr; // Option3
    QPushButton* m_doneButton = nullptr;      // Command1
};

} // namespace wexon::ui
