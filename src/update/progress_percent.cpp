#include "update/progress_percent.h"

namespace pictavo {

int ProgressPercent(std::uint32_t total, std::uint32_t done) {
    if (total == 0 || done >= total)
        return 100;
    return static_cast<int>(static_cast<double>(done) / total * 100);
}

} // namespace pictavo
