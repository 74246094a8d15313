#pragma once

namespace pictavo {

// Our web site, as the About box links to it.
inline constexpr char kSiteUrl[] = "http://pictavo.varnel.net";
inline constexpr char kSiteName[] = "pictavo.varnel.net";

} // namespace pictavo
