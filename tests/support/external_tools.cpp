#include "external_tools.h"

#include <cstdlib>

namespace pictavo::testing {

bool ToolInstalled(const std::string& tool) {
#ifdef _WIN32
    return std::system(("where " + tool + " >NUL 2>&1").c_str()) == 0;
#else
    return std::system(("command -v " + tool + " >/dev/null 2>&1").c_str()) == 0;
#endif
}

std::string Quoted(const std::string& path) {
    return "\"" + path + "\"";
}

} // namespace pictavo::testing
