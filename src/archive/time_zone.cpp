#include "archive/time_zone.h"

#include <cstdlib>

namespace pictavo {

void KeepTimeZoneLoaded() {
#ifndef _WIN32
    setenv("TZ", ":/etc/localtime", 0);
#endif
}

} // namespace pictavo
