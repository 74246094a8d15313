#include "external_tools.h"

#include <cstdlib>

#ifdef _WIN32
#include <filesystem>
#include <sstream>
#else
#include <spawn.h>
#include <sys/wait.h>
#endif

namespace pictavo::testing {

bool ToolInstalled(const std::string& tool) {
#ifdef _WIN32
    // The path searched here rather than by `where`, which Wine answers yes to whatever the
    // name. The Windows folder is left out: its convert.exe is no ImageMagick.
    const char* path = std::getenv("PATH");
    const char* windows = std::getenv("SystemRoot");
    std::stringstream dirs(path != nullptr ? path : "");
    for (std::string dir; std::getline(dirs, dir, ';');) {
        std::error_code error;
        const bool system =
            windows != nullptr &&
            std::filesystem::equivalent(dir, windows + std::string("\\system32"), error);
        if (!dir.empty() && !system &&
            std::filesystem::is_regular_file(std::filesystem::path(dir) / (tool + ".exe"), error)) {
            return true;
        }
    }
    return false;
#else
    return std::system(("command -v " + tool + " >/dev/null 2>&1").c_str()) == 0;
#endif
}

#ifndef _WIN32
int RunWithoutEnvironment(std::vector<std::string> arguments) {
    std::vector<char*> argv;
    for (std::string& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    char* environment[] = {nullptr};
    pid_t child = 0;
    if (posix_spawnp(&child, argv[0], nullptr, nullptr, argv.data(), environment) != 0) {
        return -1;
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
#endif

std::string PythonWithPillow() {
#ifdef _WIN32
    return {};
#else
    // Debian's own Python first: a Python of another installation on the path lacks the
    // package.
    for (const char* python : {"/usr/bin/python3", "python3"}) {
        if (std::system((std::string(python) + " -c 'import PIL' >/dev/null 2>&1").c_str()) == 0) {
            return python;
        }
    }
    return {};
#endif
}

std::string Quoted(const std::string& path) {
    return "\"" + path + "\"";
}

} // namespace pictavo::testing
