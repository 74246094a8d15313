// Writes small valid IWI and DDS files of every layout and format as fuzzing seeds.
#include "image_files.h"

#include <cstdio>
#include <string>

using namespace pictavo::testing;

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s IWI_FOLDER DDS_FOLDER\n", argv[0]);
        return 2;
    }
    int n = 0;
    for (int version : {6, 8, 9, 13}) {
        for (int format : {1, 2, 3, 4, 11, 12, 13}) {
            for (const auto& [w, h, levels] : {std::tuple{4, 4, 1}, std::tuple{8, 8, 4},
                                               std::tuple{16, 4, 5}, std::tuple{6, 6, 3}}) {
                WriteBytes(std::string(argv[1]) + "/seed" + std::to_string(n++) + ".iwi",
                           MakeIwi({version, format, w, h, levels}));
            }
        }
    }
    const std::pair<const char*, int> formats[] = {{"DXT1", 11}, {"DXT3", 12}, {"DXT5", 13}};
    for (const auto& [fourCC, format] : formats) {
        for (const auto& [w, h, levels, flag] :
             {std::tuple{4u, 4u, 1u, false}, std::tuple{16u, 16u, 5u, true},
              std::tuple{12u, 8u, 4u, true}, std::tuple{8u, 8u, 0u, true}}) {
            WriteBytes(std::string(argv[2]) + "/seed" + std::to_string(n++) + ".dds",
                       MakeDds({FourCCOf(fourCC), format, w, h, levels, flag}));
        }
    }
    return 0;
}
