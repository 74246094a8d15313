#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace pictavo {

// Paths travel through the programs as UTF-8 text, as Qt hands them over. Windows' narrow
// file functions would read that text in the ANSI code page and miss every non-ASCII name,
// so paths cross into the file system only through these; elsewhere the bytes are kept as
// they are.
std::filesystem::path PathOf(std::string_view text);
std::string PathText(const std::filesystem::path& path);

// std::fopen of a UTF-8 path.
std::FILE* OpenFile(const std::string& path, const char* mode);

// When the file was last written, as std::filesystem::last_write_time says, but to the
// 100 ns Windows keeps: there the standard library gives whole seconds, and a file saved
// twice in a second would look unchanged.
std::filesystem::file_time_type LastWriteTime(const std::filesystem::path& path,
                                              std::error_code& error);

// The program's arguments as UTF-8 (on Windows from the wide command line, since argv holds
// them in the ANSI code page), without the program's own name.
std::vector<std::string> Utf8Arguments(int argc, char** argv);

} // namespace pictavo
