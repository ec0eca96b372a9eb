#pragma once

#include <QDialog>
#include <QString>

#include "net/network_settings.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace wexon::ui {

// The Network window (Setup > Network): networking on or off, the broker and
// login, TLS, this station's name, the operator, the category and its serial
// scheme, the state of the link and the station network's messages. It only
// shows and collects settings; StationNetwork acts on them.
class NetworkWindow : public QDialog {
    Q_OBJECT
  public:
    explicit NetworkWindow(QWidget* parent = nullptr);

    void showSettings(const net::NetworkSettings& settings);
    // The settings as the controls hold them.
    net::NetworkSettings settings() const;
    // One line of the link's state: stations up, waiting contacts.
    void setState(const QString& text);
    // One message of the station network, as plain text.
    void appendLog(const QString& line);

  signals:
    // Apply: the settings as shown, to be checked and used.
    void applyRequested();
    void stationCabrilloRequested();

  private:
    void categoryChanged();

    QCheckBox* m_networkOnBox;
    QLineEdit* m_brokerHostBox;
    QLineEdit* m_brokerPortBox;
    QLineEdit* m_userBox;
    QLineEdit* m_passwordBox;
    QCheckBox* m_tlsBox;
    QLineEdit* m_caFileBox;
    QLineEdit* m_stationNameBox;
    QLineEdit* m_operatorBox;
    QComboBox* m_categoryBox;
    QComboBox* m_transmitterBox;
    QLineEdit* m_contestIdBox;
    QLabel* m_serialSchemeLabel;
    QLabel* m_stateLabel;
    QPlainTextEdit* m_logView;
};

} // namespace wexon::ui
