#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Whether standard output is a terminal, where a progress bar can be redrawn in place.
bool StandardOutputIsTerminal();

// "[#####.....]  120/2000 files, 34.5 MB, 12.0 MB/s, 0:42 left", the time left estimated
// from the bytes still to read at the rate so far.
std::string ProgressText(std::size_t done, std::size_t total, std::uint64_t bytesDone,
                         std::uint64_t bytesTotal, double seconds);
