#pragma once

#include <QIcon>

// The program's icon, for every window of it.
QIcon AppIcon();
