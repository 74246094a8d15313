#include "archive/zip_archive.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Opens the input as a zip archive and reads every entry it lists.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    pictavo::ZipArchive archive;
    std::string error;
    if (archive.OpenBytes({data, size}, error)) {
        std::vector<std::uint8_t> bytes;
        for (const pictavo::ArchiveEntry& entry : archive.Entries()) {
            archive.Read(entry, bytes, error);
        }
    }
    return 0;
}
