#include "app/window_place.h"

#include <QSettings>
#include <QWidget>

namespace {

constexpr char kGeometryKey[] = "Geometry";

QSettings PlaceStore() {
    // The registry on Windows, a file elsewhere; tests point the default format at files.
    return QSettings(QSettings::defaultFormat(), QSettings::UserScope, "Varnel", "Pictavo Window");
}

} // namespace

void RestoreWindowPlace(QWidget& window) {
    // Qt's own record: it moves a place no screen shows any more back onto one.
    const QByteArray geometry = PlaceStore().value(kGeometryKey).toByteArray();
    if (!geometry.isEmpty())
        window.restoreGeometry(geometry);
}

void SaveWindowPlace(const QWidget& window) {
    QSettings store = PlaceStore();
    store.setValue(kGeometryKey, window.saveGeometry());
}
