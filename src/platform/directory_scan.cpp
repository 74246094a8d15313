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
