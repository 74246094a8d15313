#include "view/gl_extensions.h"

#include <array>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace {

struct ExtensionCase {
    const char* list;
    const char* name;
    bool present;
};

class HasExtensionTest : public testing::TestWithParam<ExtensionCase> {};

TEST_P(HasExtensionTest, MatchesWholeEntriesOnly) {
    EXPECT_EQ(HasExtension(GetParam().list, GetParam().name), GetParam().present)
        << "list \"" << GetParam().list << "\", name \"" << GetParam().name << "\"";
}

INSTANTIATE_TEST_SUITE_P(
    Lists, HasExtensionTest,
    testing::Values(
        ExtensionCase{"GL_EXT_texture_env_combine GL_ARB_multitexture GL_EXT_bgra",
                      "GL_EXT_texture_env_combine", true},
        ExtensionCase{"GL_ARB_multitexture GL_EXT_bgra GL_EXT_texture_env_combine",
                      "GL_EXT_texture_env_combine", true},
        ExtensionCase{"GL_EXT_bgra GL_ARB_multitexture GL_EXT_abgr", "GL_ARB_multitexture", true},
        ExtensionCase{"GL_EXT_texture_env_combine", "GL_EXT_texture_env_combine", true},
        ExtensionCase{"GL_ARB_multitexture ", "GL_ARB_multitexture", true},
        ExtensionCase{"GL_ARB_multitexture_extra GL_EXT_bgra", "GL_ARB_multitexture", false},
        ExtensionCase{"GL_EXT_bgra XGL_ARB_multitexture", "GL_ARB_multitexture", false},
        ExtensionCase{"GL_EXT_bgra GL_ARB_multi", "GL_ARB_multitexture", false},
        ExtensionCase{"gl_arb_multitexture", "GL_ARB_multitexture", false},
        ExtensionCase{"", "GL_ARB_multitexture", false},
        ExtensionCase{"GL_EXT_bgra  GL_EXT_abgr", "", false}));

TEST(TextureSwizzleTest, FromOpenGL33OrEitherExtension) {
    EXPECT_TRUE(HasTextureSwizzle("4.5 (Compatibility Profile) Mesa 22.3.6", ""));
    EXPECT_TRUE(HasTextureSwizzle("3.3.0 NVIDIA 535.54", ""));
    EXPECT_TRUE(HasTextureSwizzle("10.0", ""));
    EXPECT_FALSE(HasTextureSwizzle("3.2.0", "GL_ARB_multitexture"));
    EXPECT_FALSE(HasTextureSwizzle("2.1 Mesa 7.0", ""));
    EXPECT_TRUE(HasTextureSwizzle("2.1 Mesa 7.0", "GL_ARB_multitexture GL_ARB_texture_swizzle"));
    EXPECT_TRUE(HasTextureSwizzle("3.0", "GL_EXT_texture_swizzle"));
    EXPECT_FALSE(HasTextureSwizzle("OpenGL ES 3.2", "GL_OES_texture_swizzle"));
    EXPECT_FALSE(HasTextureSwizzle("", ""));
}

// Stand-in entry points, one distinct function each; never called.
template <int N> void EntryPoint() {}

template <int... N>
constexpr std::array<GlProc, sizeof...(N)> EntryPoints(std::integer_sequence<int, N...>) {
    return {&EntryPoint<N>...};
}

constexpr auto kEntryPoints = EntryPoints(std::make_integer_sequence<int, 16>());

// Hands out a distinct entry point per name and remembers what was asked for.
class FakeLookup {
public:
    GlProcLookup Function() {
        return [this](const char* name) {
            asked.emplace_back(name);
            return AddressOf(name);
        };
    }
    GlProc AddressOf(const std::string& name) {
        const auto [it, added] = indices.emplace(name, indices.size());
        return kEntryPoints.at(it->second);
    }

    std::vector<std::string> asked;
    std::map<std::string, std::size_t> indices;
};

template <class Function> GlProc AsProc(Function function) {
    return reinterpret_cast<GlProc>(function);
}

TEST(LoadRequiredExtensionsTest, LooksUpTheMultitextureCallsWhenBothExtensionsAreListed) {
    FakeLookup lookup;
    GLExtensions table;
    ASSERT_TRUE(LoadRequiredExtensions("GL_EXT_bgra GL_ARB_multitexture GL_EXT_texture_env_combine",
                                       lookup.Function(), table));
    EXPECT_EQ(lookup.asked, (std::vector<std::string>{"glMultiTexCoord2fARB", "glActiveTextureARB",
                                                      "glClientActiveTextureARB"}));
    EXPECT_EQ(AsProc(table.glMultiTexCoord2fARB), lookup.AddressOf("glMultiTexCoord2fARB"));
    EXPECT_EQ(AsProc(table.glActiveTextureARB), lookup.AddressOf("glActiveTextureARB"));
    EXPECT_EQ(AsProc(table.glClientActiveTextureARB), lookup.AddressOf("glClientActiveTextureARB"));
    EXPECT_FALSE(table.swapControlAvailable);
}

TEST(LoadRequiredExtensionsTest, FailsWithoutLookingAnythingUpWhenOneIsMissing) {
    for (const char* list : {"GL_EXT_texture_env_combine GL_ARB_multitexture_foo",
                             "GL_ARB_multitexture GL_EXT_texture_env_combine4", ""}) {
        FakeLookup lookup;
        GLExtensions table;
        EXPECT_FALSE(LoadRequiredExtensions(list, lookup.Function(), table)) << list;
        EXPECT_TRUE(lookup.asked.empty()) << list;
        EXPECT_EQ(table.glActiveTextureARB, nullptr) << list;
    }
}

TEST(FillUploadTableTest, FillsEveryEntryFromTheContext) {
    FakeLookup lookup;
    gl::EntryPoints table;
    FillUploadTable(lookup.Function(), table);
    EXPECT_TRUE(table.Complete());
    EXPECT_EQ(AsProc(table.CompressedTexImage2DARB), lookup.AddressOf("glCompressedTexImage2DARB"));
    EXPECT_EQ(AsProc(table.GenTextures), lookup.AddressOf("glGenTextures"));
    EXPECT_EQ(AsProc(table.DeleteTextures), lookup.AddressOf("glDeleteTextures"));
    EXPECT_EQ(AsProc(table.BindTexture), lookup.AddressOf("glBindTexture"));
    EXPECT_EQ(AsProc(table.TexParameteri), lookup.AddressOf("glTexParameteri"));
    EXPECT_EQ(AsProc(table.TexParameterfv), lookup.AddressOf("glTexParameterfv"));
    EXPECT_EQ(AsProc(table.PixelTransferf), lookup.AddressOf("glPixelTransferf"));
    EXPECT_EQ(AsProc(table.PixelStorei), lookup.AddressOf("glPixelStorei"));
    EXPECT_EQ(AsProc(table.TexImage2D), lookup.AddressOf("glTexImage2D"));
}

TEST(SetSwapIntervalTest, CallsThePlatformOnlyWhenItOffersSwapControl) {
    std::vector<int> intervals;
    GLExtensions table;
    table.swapInterval = [&intervals](int interval) { intervals.push_back(interval); };

    table.swapControlAvailable = false;
    SetSwapInterval(table, 1);
    EXPECT_TRUE(intervals.empty());

    table.swapControlAvailable = true;
    SetSwapInterval(table, 1);
    SetSwapInterval(table, 0);
    EXPECT_EQ(intervals, (std::vector<int>{1, 0}));
}

TEST(SetSwapIntervalTest, DoesNothingWithoutAnEntryPoint) {
    GLExtensions table;
    table.swapControlAvailable = true;
    EXPECT_NO_THROW(SetSwapInterval(table, 1)); // an empty function would throw
}

} // namespace
