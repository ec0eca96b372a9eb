#pragma once

#include <QWidget>

#include "ui/common/prompts.h"

namespace wexon::platform {

// The operator's dialogs, as real Qt message boxes, input boxes and file dialogs.
class QtPrompts : public ui::Prompts {
  public:
    void setParentWidget(QWidget* parent) { m_parent = parent; }

    void message(const QString& title, const QString& text, Icon icon) override;
    bool question(const QString& title, const QString& text) override;
    std::optional<QString> input(const QString& title, const QString& prompt,
                                 const QString& defaultText) override;
    QString openFile(const QString& title, const QString& folder, const QString& filter) override;
    QString saveFile(const QString& title, const QString& folder, const QString& fileName,
                     const QString& filter) override;
    void beep() override;

  private:
    QWidget* m_parent = nullptr;
};

} // namespace wexon::platform
