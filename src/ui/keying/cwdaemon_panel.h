#pragma once

#include <functional>

#include <QGroupBox>

#include "keying/cw_settings.h"
#include "keying/cwdaemon_sender.h"

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace wexon::ui {

// The cwdaemon settings on the CW window: host, port, PTT, PTT lead, tone,
// and the Tune button. It only shows and reads values; the CW window keeps
// them in the keyer's settings and aims the link.
class CwdaemonPanel : public QGroupBox {
  public:
    explicit CwdaemonPanel(QWidget* parent = nullptr);

    void showSettings(const keying::CwSettings& settings);
    // Copies the boxes into the cwdaemon fields of `settings`.
    void readSettings(keying::CwSettings& settings) const;

    // Called when the host or port box is left with a change, and when PTT,
    // its lead or the tone change.
    void onTargetEdited(std::function<void()> edited) { m_targetEdited = std::move(edited); }
    void onOptionsEdited(std::function<void()> edited) { m_optionsEdited = std::move(edited); }
    void onTune(std::function<void()> tune) { m_tune = std::move(tune); }

    // The options the sender acts on, from settings texts: a lead or tone
    // that is not a number counts as its default.
    static keying::CwdaemonOptions optionsFrom(const keying::CwSettings& settings);
    // The port number, or 0 when the text is not a port.
    static int portFrom(const keying::CwSettings& settings);

  private:
    QLineEdit* m_hostBox = nullptr;
    QLineEdit* m_portBox = nullptr;
    QCheckBox* m_pttCheck = nullptr;
    QLineEdit* m_pttLeadBox = nullptr;
    QLineEdit* m_toneBox = nullptr;
    QPushButton* m_tuneButton = nullptr;
    std::function<void()> m_targetEdited;
    std::function<void()> m_optionsEdited;
    std::function<void()> m_tune;
    bool m_showing = false;
};

} // namespace wexon::ui
