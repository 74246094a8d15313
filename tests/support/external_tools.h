#pragma once

#include <string>
#include <vector>

// Other programs that tests and benchmarks check our files against, run through the shell.
namespace pictavo::testing {

// Whether the shell finds `tool` on the path.
bool ToolInstalled(const std::string& tool);

#ifndef _WIN32
// Runs a program, found on the path, with these arguments and no environment at all, as the
// desktop runs a thumbnailer; its exit status, or -1 when it did not exit by itself.
int RunWithoutEnvironment(std::vector<std::string> arguments);
#endif

// A Python 3 that has Pillow (Debian's python3-pil), as a command; empty when there is none.
std::string PythonWithPillow();

// A path in double quotes, for a command line.
std::string Quoted(const std::string& path);

} // namespace pictavo::testing
