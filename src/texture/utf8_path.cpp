#include "texture/utf8_path.h"

#include <algorithm>
#include <chrono>
#include <cstdint>

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
// After windows.h, which they build on.
#include <fcntl.h>
#include <io.h>
#include <shellapi.h>
#include <sys/stat.h>
#endif

namespace pictavo {

#ifdef _WIN32

namespace {

std::wstring Wide(std::string_view text) {
    const int length =
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                        length);
    return wide;
}

std::string Narrow(std::wstring_view wide) {
    const int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), text.data(), length,
                        nullptr, nullptr);
    return text;
}

} // namespace

std::filesystem::path PathOf(std::string_view text) {
    return std::filesystem::path(Wide(text));
}

std::string PathText(const std::filesystem::path& path) {
    return Narrow(path.native());
}

std::FILE* OpenFile(const std::string& path, const char* mode) {
    const std::wstring widePath = Wide(path);
    if (std::string_view(mode).find('x') != std::string_view::npos) {
        // The C runtime's fopen knows no exclusive mode: the file is made here.
        const int handle = _wopen(widePath.c_str(), _O_CREAT | _O_EXCL | _O_WRONLY | _O_BINARY,
                                  _S_IREAD | _S_IWRITE);
        return handle < 0 ? nullptr : _fdopen(handle, "wb");
    }
    return _wfopen(widePath.c_str(), Wide(mode).c_str());
}

std::vector<std::string> Utf8Arguments(int, char**) {
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int i = 1; wide != nullptr && i < count; ++i) {
        arguments.push_back(Narrow(wide[i]));
    }
    LocalFree(wide);
    return arguments;
}

#else

std::filesystem::path PathOf(std::string_view text) {
    return std::filesystem::path(text);
}

std::string PathText(const std::filesystem::path& path) {
    return path.native();
}

std::FILE* OpenFile(const std::string& path, const char* mode) {
    return std::fopen(path.c_str(), mode);
}

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
    return std::vector<std::string>(argv + std::min(argc, 1), argv + argc);
}

#endif

std::filesystem::file_time_type LastWriteTime(const std::filesystem::path& path,
                                              std::error_code& error) {
    std::filesystem::file_time_type time = std::filesystem::last_write_time(path, error);
#ifdef _WIN32
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!error && time.time_since_epoch() % std::chrono::seconds(1) == decltype(time)::duration{} &&
        GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) {
        const std::uint64_t ticks = std::uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32 |
                                    data.ftLastWriteTime.dwLowDateTime;
        time += std::chrono::duration_cast<std::filesystem::file_time_type::duration>(
            std::chrono::nanoseconds((ticks % 10'000'000) * 100));
    }
#endif
    return time;
}

} // namespace pictavo
