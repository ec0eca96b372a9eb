#pragma once

#include <QString>

#include "ui/main/main_window.h"
#include "ui/common/prompts.h"

namespace wexon::ui {

// Creates a folder's last level when missing; on failure, when `showErrors`, tells
// the operator which folder and why. True when the folder exists afterwards.
bool ensureFolderWithMessages(const QString& path, bool showErrors, Prompts& prompts);

// Fixes the program's folders below the documents folder ("TARNO Software/CQ WPX",
// "TARNO Software/Shared" and the "BACKUP" folder), creating the missing ones.
// Without a documents folder the working folder stands in for it.
AppFolders resolveFolders(const QString& working, const QString& documents, Prompts& prompts);

} // namespace wexon::ui
