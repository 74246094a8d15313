// pictavo-thumbnailer -s SIZE INPUT OUTPUT: a PNG of at most SIZE pixels a side, for the
// desktop's file managers. It reads INPUT, writes OUTPUT and nothing else.
#include "texture/texture_writer.h"
#include "texture/utf8_path.h"
#include "thumbnailer/thumbnail.h"

#include <charconv>
#include <cstdio>
#include <string_view>

#ifdef __linux__
#include <sys/resource.h>
#endif

namespace {

// A second guard behind the size check: a file that still drives the decoder astray is
// stopped by the system rather than slowing or exhausting the desktop.
void LimitResources() {
#ifdef __linux__
    const rlimit cpu{5, 5};
    setrlimit(RLIMIT_CPU, &cpu);
#if !defined(__SANITIZE_ADDRESS__)
    // AddressSanitizer reserves terabytes of address space up front.
    const rlimit memory{std::uint64_t{1} << 30, std::uint64_t{1} << 30};
    setrlimit(RLIMIT_AS, &memory);
#endif
#endif
}

bool ParseSize(std::string_view text, std::uint32_t& size) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), size);
    return error == std::errc() && end == text.data() + text.size() && size > 0 &&
           size <= pictavo::kMaxSide;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> arguments = pictavo::Utf8Arguments(argc, argv);
    std::uint32_t size = 0;
    if (arguments.size() != 4 || arguments[0] != "-s" || !ParseSize(arguments[1], size)) {
        std::fputs("usage: pictavo-thumbnailer -s SIZE INPUT OUTPUT\n", stderr);
        return 2;
    }
    LimitResources();
    pictavo::Result<std::vector<std::uint8_t>> png = pictavo::MakeThumbnail(arguments[2], size);
    if (png &&
        pictavo::WriteFileReplacing(arguments[3], png.value()) != pictavo::TextureError::kNone) {
        png = pictavo::TextureError::kOpen;
    }
    if (!png) {
        std::fprintf(stderr, "pictavo-thumbnailer: %s: %s\n", arguments[2].c_str(),
                     png.error().text.c_str());
        return 1;
    }
    return 0;
}
