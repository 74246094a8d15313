#pragma once

#include <QDir>
#include <QFile>
#include <QString>
#include <string>

// Path texts between Qt and the program: UTF-8 on Windows, as the program's narrow paths are
// there, with Windows' backslashes where Qt's dialogs and drops give slashes; elsewhere the
// file system's own bytes, whether or not they are UTF-8.
inline std::string PathBytes(const QString& path) {
#ifdef _WIN32
    return QDir::toNativeSeparators(path).toUtf8().toStdString();
#else
    return QFile::encodeName(path).toStdString();
#endif
}

inline QString PathQString(const std::string& path) {
#ifdef _WIN32
    return QString::fromUtf8(path.data(), static_cast<qsizetype>(path.size()));
#else
    return QFile::decodeName(QByteArray(path.data(), static_cast<qsizetype>(path.size())));
#endif
}
