#include "app/window_place.h"

#include <QSettings>
#include <QSplitter>
#include <QWidget>

namespace {

constexpr char kGeometryKey[] = "Geometry";
constexpr char kSplitterKey[] = "Splitter";

QSettings PlaceStore() {
    // The registry on Windows, a file elsewhere; tests point the default format at files.
    return QSettings(QSettings::defaultFormat(), QSettings::UserScope, "Varnel", "Pictavo Window");
}

} // namespace

void RestoreWindowPlace(QWidget& window, QSplitter& splitter) {
    const QSettings store = PlaceStore();
    // Qt's own record: it moves a place no screen shows any more back onto one.
    const QByteArray geometry = store.value(kGeometryKey).toByteArray();
    if (!geometry.isEmpty())
        window.restoreGeometry(geometry);
    const QByteArray split = store.value(kSplitterKey).toByteArray();
    if (!split.isEmpty())
        splitter.restoreState(split);
}

void SaveWindowPlace(const QWidget& window, const QSplitter& splitter) {
    QSettings store = PlaceStore();
    store.setValue(kGeometryKey, window.saveGeometry());
    store.setValue(kSplitterKey, splitter.saveState());
}
