// Writes small valid IWI and DDS files of every layout and format, and pictures of every kind
// the converter reads, as fuzzing seeds.
#include "image_files.h"
#include "picture_files.h"
#include "pictures.h"

#include <cstdio>
#include <string>

using namespace pictavo::testing;
using pictavo::RgbaImage;

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s IWI_FOLDER DDS_FOLDER PICTURE_FOLDER\n", argv[0]);
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
    const std::string pictures(argv[3]);
    for (const auto& [width, height] : {std::pair{16u, 8u}, std::pair{5u, 3u}}) {
        const RgbaImage picture = TestPicture(width, height, true);
        const std::string name = pictures + "/seed" + std::to_string(n++);
        for (int channels = 1; channels <= 4; ++channels) {
            WriteBytes(name + "-" + std::to_string(channels) + ".png", MakePng(picture, channels));
        }
        WriteBytes(name + ".jpg", MakeJpeg(picture, 75));
        WriteBytes(name + "-rle.tga", MakeTga(picture, 4, true));
        WriteBytes(name + "-raw.tga", MakeTga(picture, 3, false));
        WriteBytes(name + ".bmp", MakeBmp(picture));
        WriteBytes(name + "-raw.psd", MakePsd(picture, 3, false));
        WriteBytes(name + "-packbits.psd", MakePsd(picture, 4, true));
    }
    return 0;
}
