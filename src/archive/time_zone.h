#pragma once

namespace pictavo {

// libzip turns every entry's date into a time with mktime when it opens an archive, and the
// C library re-reads /etc/localtime on each call while TZ is unset: listing a game's archives
// spends most of its time there. Naming the same zone file in TZ makes it load once. Call at
// start-up, before other threads run; a TZ already set is kept. Nothing to do on Windows.
void KeepTimeZoneLoaded();

} // namespace pictavo
