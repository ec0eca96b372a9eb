#pragma once

#include <string>

#include <QString>

namespace wexon::ui {

// The domain keeps 8-bit (Latin-1) texts as the files do; windows show QString.
inline QString fromLatin1(const std::string& s) {
    return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
}
inline std::string toLatin1(const QString& s) {
    return s.toLatin1().toStdString();
}
// File paths are in the system's own encoding, not the data files' 8-bit texts.
inline std::string toPath(const QString& s) {
    return s.toLocal8Bit().toStdString();
}

} // namespace wexon::ui
