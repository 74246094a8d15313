#include "external_tools.h"
#include "image/iwi.h"
#include "image_files.h"
#include "load_helpers.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <string>

namespace {

using pictavo::testing::IwiParams;
using pictavo::testing::LoadBytes;
using pictavo::testing::MakeIwi;
using pictavo::testing::Quoted;
using pictavo::testing::TempDir;
using pictavo::testing::ToolInstalled;

// DDS files as the export writes them, one per format the writer knows.
std::vector<std::string> WriteSampleExports(const TempDir& dir) {
    const std::pair<const char*, IwiParams> samples[] = {
        {"dxt1_chain.iwi", {6, 11, 64, 32, 7}}, {"dxt3.iwi", {8, 12, 32, 32, 6}},
        {"dxt5.iwi", {13, 13, 16, 16, 5}},      {"dxt5_single.iwi", {6, 13, 64, 64, 1}},
        {"rgba.iwi", {6, 1, 16, 8, 5}},         {"rgb.iwi", {6, 2, 12, 12, 4}},
    };
    std::vector<std::string> written;
    for (const auto& [name, params] : samples) {
        IWI image;
        if (LoadBytes(image, dir, name, MakeIwi(params)) != IWI_OK ||
            image.WriteConvertedFile() != IWI_OK) {
            ADD_FAILURE() << "could not export " << name;
            continue;
        }
        written.push_back(image.GetOutputName());
    }
    return written;
}

TEST(ExternalTools, ImageMagickOpensTheDdsFilesWeWrite) {
    if (!ToolInstalled("convert")) {
        GTEST_SKIP() << "ImageMagick's convert is not installed";
    }
    TempDir dir;
    for (const std::string& dds : WriteSampleExports(dir)) {
        const std::string png = dds + ".png";
        EXPECT_EQ(std::system(("convert " + Quoted(dds) + " " + Quoted(png) + " 2>&1").c_str()), 0)
            << dds;
        EXPECT_TRUE(IWI::FileExists(png)) << png;
    }
}

TEST(ExternalTools, NvddsinfoAcceptsTheDdsFilesWeWrite) {
    if (!ToolInstalled("nvddsinfo")) {
        GTEST_SKIP() << "nvddsinfo (libnvtt-bin) is not installed";
    }
    TempDir dir;
    for (const std::string& dds : WriteSampleExports(dir)) {
        EXPECT_EQ(std::system(("nvddsinfo " + Quoted(dds) + " >/dev/null 2>&1").c_str()), 0) << dds;
    }
}

} // namespace
