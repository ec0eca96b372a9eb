#include "ui/rig/rig_frequency_test_dialog.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/number_format.h"
#include "core/text_util.h"
#include "rig/hex_bytes.h"
#include "ui/rig/rig_control_window.h"
#include "ui/common/plain_text.h"

namespace wexon::ui {

RigFrequencyTestDialog::RigFrequencyTestDialog(RigControlWindow& rig, QWidget* parent)
    : QDialog(parent), m_rig(rig) {
    setObjectName("frmFrequencyTest");
    setWindowTitle("Test Change Frequency Function");
    auto* layout = new QVBoxLayout(this);
    auto label = [&](const char* text) {
        auto* l = plainLabel(text, this);
        l->setWordWrap(true);
        layout->addWidget(l);
    };
    label("Please use the text box below to enter a complete command to send to your radio.  "
          "The default example is the command used for Kenwood radios.");
    label("If your radio requires a hexidecimal format, please enter in the format of XX XX XX "
          "(using spaces between each two digits) and click the Convert to Hex check box below.");
    Text1 = new QLineEdit("FA00028475000;", this);
    Text1->setObjectName("Text1");
    Check1 = new QCheckBox("Convert to Hex", this);
    Check1->setObjectName("Check1");
    Command1 = new QPushButton("Send", this);
    Command1->setObjectName("Command1");
    layout->addWidget(Text1);
    layout->addWidget(Check1);
    layout->addWidget(Command1);
    label("Most Elecrafts, Icoms, Kenwoods and Yaesus are now supported. For any supported "
          "radio, you should be able to enter a frequency in Mhz, click send and your radio "
          "should switch to the specified frequency.");
    Text2 = new QLineEdit(this);
    Text2->setObjectName("Text2");
    Command2 = new QPushButton("Send", this);
    Command2->setObjectName("Command2");
    layout->addWidget(Text2);
    layout->addWidget(Command2);
    connect(Command1, &QPushButton::clicked, [this] { command1Click(); });
    connect(Command2, &QPushButton::clicked, [this] { command2Click(); });
}

void RigFrequencyTestDialog::command1Click() {
    std::string text = core::trim(Text1->text().toLatin1().toStdString());
    m_rig.controller().sendRaw(Check1->isChecked() ? rig::bytesFromSpacedHex(text) : text);
}

void RigFrequencyTestDialog::command2Click() {
    // Errors here are ignored: a box that is not a number sends nothing.
    auto mhz = core::parseNumber(Text2->text().toLatin1().toStdString());
    if (mhz) {
        m_rig.changeFrequency(static_cast<float>(*mhz));
    }
}

} // namespace wexon::ui
