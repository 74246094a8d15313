#include "platform/directory_scan.h"

#include <QDirIterator>
#include <QFileInfo>

FolderScan ScanIwiFiles(const std::string& folder) {
    const QString path = QString::fromStdString(folder);
    FolderScan scan;
    if (path.isEmpty() || !QFileInfo(path).isDir())
        return scan;
    scan.status = FolderScanStatus::Listed;
    // QDir::Files alone leaves out folders, devices, sockets and broken links.
    QDirIterator entries(path, QDir::Files | QDir::Hidden);
    while (entries.hasNext()) {
        const QString name = entries.nextFileInfo().fileName();
        if (name.endsWith(QLatin1String(".iwi"), Qt::CaseInsensitive))
            scan.fileNames.push_back(name.toStdString());
    }
    return scan;
}

bool HasSubfolderNamed(const std::string& folder, const std::string& name) {
    const QString path = QString::fromStdString(folder);
    if (path.isEmpty())
        return false;
    // Names are compared as listed, so "Raw" never passes for "raw", even where the file
    // system itself ignores case.
    const QString wanted = QString::fromStdString(name);
    QDirIterator entries(path, QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
    while (entries.hasNext()) {
        if (entries.nextFileInfo().fileName() == wanted)
            return true;
    }
    return false;
}
