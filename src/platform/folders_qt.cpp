#include "platform/folders_qt.h"

#include <QDir>
#include <QStandardPaths>

namespace wexon::platform {

QString documentsFolder() {
    QString docs = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (docs.isEmpty()) {
        docs = QDir::homePath() + "/Documents";
    }
    QDir().mkpath(docs);
    return QDir(docs).exists() ? docs : QString();
}

} // namespace wexon::platform
