#include "cli/failure_box.h"

#include <algorithm>

#ifdef _WIN32
#include <windows.h>
#else
#include <cstdlib>
#include <filesystem>
#include <spawn.h>
#include <string_view>
#include <sys/wait.h>
extern char** environ;
#endif

namespace {

#ifndef _WIN32
constexpr const char* kTitle = "Pictavo";

// The path of `tool` in a folder of PATH, or an empty one.
std::filesystem::path OnPath(const std::string& tool) {
    const char* path = std::getenv("PATH");
    std::string_view folders = path != nullptr ? path : "";
    while (!folders.empty()) {
        const std::size_t end = std::min(folders.find(':'), folders.size());
        const std::filesystem::path candidate =
            std::filesystem::path(folders.substr(0, end)) / tool;
        std::error_code error;
        if (end > 0 && std::filesystem::is_regular_file(candidate, error)) {
            return candidate;
        }
        folders.remove_prefix(std::min(end + 1, folders.size()));
    }
    return {};
}

// Runs a program with these arguments, no shell between, and waits for it.
void RunTool(const std::filesystem::path& program, std::vector<std::string> arguments) {
    std::vector<char*> argv;
    for (std::string& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    pid_t child = 0;
    if (posix_spawn(&child, program.c_str(), nullptr, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        waitpid(child, &status, 0);
    }
}
#endif

} // namespace

bool TakeGuiErrorsSwitch(std::vector<std::string>& arguments) {
    const auto ended = std::find(arguments.begin(), arguments.end(), "--");
    const auto found = std::find(arguments.begin(), ended, "--gui-errors");
    if (found == ended) {
        return false;
    }
    arguments.erase(found);
    return true;
}

void ShowFailureBox(const std::string& text) {
#ifdef _WIN32
    const int length =
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                        length);
    MessageBoxW(nullptr, wide.c_str(), L"Pictavo", MB_OK | MB_ICONWARNING | MB_SETFOREGROUND);
#else
    // Each tool's own way of being told the text, never through a shell.
    const struct {
        const char* tool;
        std::vector<std::string> arguments;
    } tools[] = {
        {"kdialog", {"kdialog", "--title", kTitle, "--sorry", text}},
        {"zenity", {"zenity", "--warning", "--no-markup", "--title", kTitle, "--text", text}},
        {"notify-send", {"notify-send", "--", kTitle, text}},
    };
    for (const auto& candidate : tools) {
        if (const std::filesystem::path program = OnPath(candidate.tool); !program.empty()) {
            RunTool(program, candidate.arguments);
            return;
        }
    }
#endif
}
