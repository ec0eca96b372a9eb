#include "ui/station/startup.h"

#include "core/folders.h"

namespace wexon::ui {

bool ensureFolderWithMessages(const QString& path, bool showErrors, Prompts& prompts) {
    if (path.isEmpty()) {
        prompts.message("Unable to Create Directory", "Invalid Path", Prompts::Icon::Exclamation);
        return false;
    }
    std::string error = core::ensureFolder(path.toLocal8Bit().toStdString());
    if (!error.empty()) {
        if (showErrors) {
            prompts.message("Unable to create directory.",
                            path + "  " + QString::fromLocal8Bit(error.c_str()),
                            Prompts::Icon::Exclamation);
        }
        return false;
    }
    return true;
}

AppFolders resolveFolders(const QString& working, const QString& documents, Prompts& prompts) {
    AppFolders f;
    f.working = working;
    f.documents = documents;
    if (f.documents.isEmpty()) {
        prompts.message("User Access Directory Error",
                        "The documents folder could not be found or created; the program's "
                        "folders are made in the working folder instead.",
                        Prompts::Icon::Exclamation);
        f.documents = working;
    }
    const QString base = f.documents + "/TARNO Software";
    f.programData = base + "/CQ WPX";
    f.shared = base + "/Shared";
    f.backup = f.programData + "/BACKUP";
    ensureFolderWithMessages(base, true, prompts);
    ensureFolderWithMessages(f.programData, true, prompts);
    ensureFolderWithMessages(f.shared, true, prompts);
    return f;
}

} // namespace wexon::ui
