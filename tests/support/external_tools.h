#pragma once

#include <string>

// Other programs that tests and benchmarks check our files against, run through the shell.
namespace pictavo::testing {

// Whether the shell finds `tool` on the path.
bool ToolInstalled(const std::string& tool);

// A path in double quotes, for a command line.
std::string Quoted(const std::string& path);

} // namespace pictavo::testing
