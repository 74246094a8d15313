#pragma once

#include <string>

// The process's working directory with native separators.
std::string CurrentDirectory();
