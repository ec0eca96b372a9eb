#pragma once

#include <optional>

#include <QString>

namespace wexon::ui {

// The modal questions and messages the program puts to the operator. Windows ask
// through this interface so that tests can answer with a script instead of a
// real dialog.
class Prompts {
  public:
    enum class Icon { Information, Warning, Critical, Exclamation };

    virtual ~Prompts() = default;
    virtual void message(const QString& title, const QString& text,
                         Icon icon = Icon::Information) = 0;
    // A Yes/No question; true for Yes.
    virtual bool question(const QString& title, const QString& text) = 0;
    // A one-line typed answer with a default; nothing when cancelled.
    virtual std::optional<QString> input(const QString& title, const QString& prompt,
                                         const QString& defaultText) = 0;
    // File dialogs; an empty result means cancelled.
    virtual QString openFile(const QString& title, const QString& folder,
                             const QString& filter) = 0;
    virtual QString saveFile(const QString& title, const QString& folder, const QString& fileName,
                             const QString& filter) = 0;
    virtual void beep() = 0;
};

} // namespace wexon::ui
