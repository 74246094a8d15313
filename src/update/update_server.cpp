#include "update/update_server.h"

#include "settings/app_settings.h"

namespace pictavo {

std::string UpdateUrl(std::string_view path) {
    std::string url =
        theSettings.UpdateServer.empty() ? kDefaultUpdateServer : theSettings.UpdateServer;
    // The paths bring their own leading slash.
    while (!url.empty() && url.back() == '/')
        url.pop_back();
    url += path;
    return url;
}

} // namespace pictavo
