#pragma once

#include <QImage>
#include <QString>

namespace pictavo::tools {

inline constexpr int kPictureWidth = 256;
inline constexpr int kPictureHeight = 128;

// The start-up picture, top row first: our emblem (a cube under a lens), the program's
// name and its version, on a card with rounded, transparent corners.
QImage PaintStartupPicture(const QString& version);

// The program's icon: the emblem on a rounded tile, `size` pixels square.
QImage PaintAppIcon(int size);

} // namespace pictavo::tools
