#include "cli/progress.h"

#include "convert/run_summary.h"

#include <cstdio>

#if defined(_WIN32)
#include <io.h>
#else
#include <unistd.h>
#endif

bool StandardOutputIsTerminal() {
#if defined(_WIN32)
    return _isatty(_fileno(stdout)) != 0;
#else
    return isatty(STDOUT_FILENO) != 0;
#endif
}

std::string ProgressText(std::size_t done, std::size_t total, std::uint64_t bytesDone,
                         std::uint64_t bytesTotal, double seconds) {
    constexpr std::size_t kWidth = 30;
    const std::size_t filled = total == 0 ? kWidth : done * kWidth / total;
    const double rate = seconds > 0 ? static_cast<double>(bytesDone) / seconds : 0;
    const std::uint64_t bytesLeft = bytesTotal > bytesDone ? bytesTotal - bytesDone : 0;
    const long left = rate > 0 ? static_cast<long>(static_cast<double>(bytesLeft) / rate) : 0;
    char tail[96];
    std::snprintf(tail, sizeof tail, ", %.1f MB/s, %ld:%02ld left", rate / 1e6, left / 60,
                  left % 60);
    std::string text = "[";
    text.append(filled, '#').append(kWidth - filled, '.').append("] ");
    return text + std::to_string(done) + "/" + std::to_string(total) + " files, " +
           Megabytes(bytesDone) + tail;
}
