#include "platform/current_directory.h"

#include <QDir>

std::string CurrentDirectory() {
    return QDir::toNativeSeparators(QDir::currentPath()).toStdString();
}
