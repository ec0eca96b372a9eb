#include "platform/sound_player_loader.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibrary>
#include <QStringList>

namespace wexon::platform {

namespace {

using MakePlayer = keying::SoundPlayer* (*)();

// Loaded once and kept for the life of the program: players made from it
// carry its code.
MakePlayer loadEntry(QString& why) {
    static MakePlayer entry = nullptr;
    static QString failure;
    static bool tried = false;
    if (!tried) {
        tried = true;
        QStringList folders;
        if (QCoreApplication::instance() != nullptr) {
            const QString app = QCoreApplication::applicationDirPath();
            folders << app << app + "/../lib/wexon";
        }
#ifdef WEXON_AUDIO_MODULE_DIR
        folders << QStringLiteral(WEXON_AUDIO_MODULE_DIR);
#endif
        QStringList errors;
        for (const QString& folder : folders) {
            QLibrary library(QDir(folder).filePath("wexon_audio"));
            if (!library.load()) {
                errors << library.errorString();
                continue;
            }
            entry = reinterpret_cast<MakePlayer>(library.resolve(kSoundPlayerEntry));
            if (entry != nullptr) {
                break;
            }
            errors << library.errorString();
        }
        if (entry == nullptr) {
            failure = QStringLiteral("The sound module could not be loaded (%1).")
                          .arg(errors.isEmpty() ? QStringLiteral("no folder to look in")
                                                : errors.front());
        }
    }
    why = failure;
    return entry;
}

} // namespace

std::unique_ptr<keying::SoundPlayer> makeModuleSoundPlayer(std::string* error) {
    QString why;
    const MakePlayer entry = loadEntry(why);
    if (entry == nullptr) {
        if (error != nullptr) {
            *error = why.toStdString();
        }
        return nullptr;
    }
    return std::unique_ptr<keying::SoundPlayer>(entry());
}

} // namespace wexon::platform
