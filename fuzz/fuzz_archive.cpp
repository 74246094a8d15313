#include "archive/zip_archive.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// Opens the input as a zip archive and reads every entry it lists.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    pictavo::ZipArchive archive;
    if (archive.OpenBytes({data, size})) {
        std::vector<std::uint8_t> bytes;
        for (const pictavo::ArchiveEntry& entry : archive.Entries()) {
            static_cast<void>(archive.Read(entry, bytes));
        }
    }
    return 0;
}
