#include "explorer/thumbnail_provider.h"
#include "image_files.h"
#include "texture/byte_source.h"
#include "thumbnailer/thumbnail.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <shlwapi.h>

namespace pictavo {
namespace {

// What Explorer got back: the bitmap's size and its pixels as R, G, B, A.
struct Thumbnail {
    HRESULT result = E_FAIL;
    RgbaImage image;
};

// Loads the DLL by name and goes the way Explorer goes: class object, IInitializeWithStream
// on a stream of the file's bytes, IThumbnailProvider.
class ExplorerThumbnails : public ::testing::Test {
protected:
    void SetUp() override {
        module_ = LoadLibraryW(L"pictavo-thumbnails.dll");
        ASSERT_NE(module_, nullptr);
        getClassObject_ = reinterpret_cast<decltype(getClassObject_)>(
            reinterpret_cast<void*>(GetProcAddress(module_, "DllGetClassObject")));
        canUnloadNow_ = reinterpret_cast<decltype(canUnloadNow_)>(
            reinterpret_cast<void*>(GetProcAddress(module_, "DllCanUnloadNow")));
        ASSERT_NE(getClassObject_, nullptr);
        ASSERT_NE(canUnloadNow_, nullptr);
    }

    void TearDown() override {
        if (module_ != nullptr) {
            // Every object made here is gone again.
            EXPECT_EQ(canUnloadNow_(), S_OK);
            FreeLibrary(module_);
        }
    }

    Thumbnail Make(const Bytes& bytes, UINT size) {
        Thumbnail thumbnail;
        IClassFactory* factory = nullptr;
        if (FAILED(getClassObject_(kThumbnailProviderClass, IID_IClassFactory,
                                   reinterpret_cast<void**>(&factory)))) {
            ADD_FAILURE() << "no class object";
            return thumbnail;
        }
        IInitializeWithStream* initialize = nullptr;
        EXPECT_EQ(factory->CreateInstance(nullptr, __uuidof(IInitializeWithStream),
                                          reinterpret_cast<void**>(&initialize)),
                  S_OK);
        factory->Release();
        IStream* stream = SHCreateMemStream(bytes.data(), static_cast<UINT>(bytes.size()));
        EXPECT_EQ(initialize->Initialize(stream, STGM_READ), S_OK);
        stream->Release(); // the handler keeps its own reference
        IThumbnailProvider* provider = nullptr;
        EXPECT_EQ(initialize->QueryInterface(__uuidof(IThumbnailProvider),
                                             reinterpret_cast<void**>(&provider)),
                  S_OK);
        initialize->Release();
        HBITMAP bitmap = nullptr;
        WTS_ALPHATYPE alpha = WTSAT_UNKNOWN;
        thumbnail.result = provider->GetThumbnail(size, &bitmap, &alpha);
        provider->Release();
        if (bitmap == nullptr) {
            return thumbnail;
        }
        EXPECT_EQ(alpha, WTSAT_ARGB);
        DIBSECTION section{};
        EXPECT_EQ(GetObjectW(bitmap, sizeof section, &section), int{sizeof section});
        thumbnail.image.width = static_cast<std::uint32_t>(section.dsBm.bmWidth);
        thumbnail.image.height = static_cast<std::uint32_t>(section.dsBm.bmHeight);
        EXPECT_EQ(section.dsBm.bmBitsPixel, 32);
        const auto* bgra = static_cast<const std::uint8_t*>(section.dsBm.bmBits);
        thumbnail.image.pixels.assign(bgra, bgra + std::size_t{thumbnail.image.width} *
                                                       thumbnail.image.height * 4);
        for (std::size_t i = 0; i < thumbnail.image.pixels.size(); i += 4) {
            std::swap(thumbnail.image.pixels[i], thumbnail.image.pixels[i + 2]);
        }
        DeleteObject(bitmap);
        return thumbnail;
    }

private:
    HMODULE module_ = nullptr;
    HRESULT(__stdcall* getClassObject_)(REFCLSID, REFIID, void**) = nullptr;
    HRESULT(__stdcall* canUnloadNow_)() = nullptr;
};

// Every kind of IWI file the games hold, at the sizes Explorer asks for: the bitmap is the
// one pictavo-thumbnailer makes from the same bytes, pixel for pixel.
TEST_F(ExplorerThumbnails, GivesTheThumbnailerPictureOfEveryKindOfFile) {
    const std::filesystem::path corpus = testing::CorpusDir();
    if (corpus.empty()) {
        GTEST_SKIP() << "no corpus of real files";
    }
    int checked = 0;
    for (const auto& row : testing::ReadTsv(corpus / "iwi_kinds" / "MANIFEST.tsv")) {
        const Bytes bytes = testing::ReadBytes(corpus / "iwi_kinds" / row[0]);
        for (const UINT size : {32u, 96u, 256u}) {
            SCOPED_TRACE(row[0] + " at " + std::to_string(size));
            SpanSource source(bytes);
            const Result<RgbaImage> made = MakeThumbnailImage(source, size);
            ASSERT_TRUE(made) << made.error().text;
            const RgbaImage& expected = made.value();
            const Thumbnail thumbnail = Make(bytes, size);
            ASSERT_EQ(thumbnail.result, S_OK);
            EXPECT_LE(std::max(thumbnail.image.width, thumbnail.image.height), size);
            EXPECT_EQ(thumbnail.image.width, expected.width);
            EXPECT_EQ(thumbnail.image.height, expected.height);
            EXPECT_TRUE(thumbnail.image.pixels == expected.pixels);
            ++checked;
        }
    }
    EXPECT_GT(checked, 0);
}

// A made texture larger than the size asked comes back scaled to it, aspect kept.
TEST_F(ExplorerThumbnails, ScalesToTheSizeAsked) {
    const Bytes iwi =
        testing::MakeIwi({.version = 6, .format = 11, .width = 512, .height = 128, .levels = 10});
    const Thumbnail thumbnail = Make(iwi, 256);
    ASSERT_EQ(thumbnail.result, S_OK);
    EXPECT_EQ(thumbnail.image.width, 256u);
    EXPECT_EQ(thumbnail.image.height, 64u);
}

// Hostile and broken files fail cleanly: an error, no bitmap, nothing read past the bytes.
TEST_F(ExplorerThumbnails, RefusesFilesThatCannotGiveOne) {
    const Bytes whole =
        testing::MakeIwi({.version = 6, .format = 13, .width = 64, .height = 64, .levels = 7});
    Bytes lyingSize = whole;
    lyingSize[6] = 0xFF; // width 32767 claimed by 64x64 worth of bytes
    lyingSize[7] = 0x7F;
    Bytes hugeLevel = testing::MakeIwi({.version = 6, .format = 11, .width = 8, .height = 8});
    hugeLevel[6] = hugeLevel[8] = 0xFF; // 32767 x 32767 in 16 bytes
    hugeLevel[7] = hugeLevel[9] = 0x7F;
    const struct {
        const char* name;
        Bytes bytes;
    } cases[] = {
        {"empty", {}},
        {"header only", Bytes(whole.begin(), whole.begin() + 28)},
        {"cut in its levels", Bytes(whole.begin(), whole.begin() + whole.size() / 2)},
        {"lying width", lyingSize},
        {"huge level", hugeLevel},
        {"not a texture", Bytes(4096, 0x5A)},
    };
    for (const auto& hostile : cases) {
        SCOPED_TRACE(hostile.name);
        const Thumbnail thumbnail = Make(hostile.bytes, 256);
        EXPECT_TRUE(FAILED(thumbnail.result));
        EXPECT_TRUE(thumbnail.image.pixels.empty());
    }
}

} // namespace
} // namespace pictavo
