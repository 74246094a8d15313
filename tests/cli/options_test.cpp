#include "cli/convert_command.h"
#include "cli/convert_options.h"

#include <gtest/gtest.h>
#include <sstream>

namespace {

struct BadLine {
    std::vector<std::string> arguments;
    std::string said; // in the message after "pictavo-convert: "
};

// Unknown, misspelt and badly valued options: each is bad usage, said on the error stream
// with the usage after it, and nothing is converted.
TEST(ConvertOptions, UnknownAndMisspeltOptionsAreBadUsage) {
    const std::vector<BadLine> lines{
        {{"--frobnicate", "x.iwi"}, "The following argument was not expected: --frobnicate"},
        {{"--overwrit", "x.png"}, "(did you mean --overwrite?)"},
        {{"--recursiv", "x"}, "(did you mean --recursive?)"},
        {{"--no-mip", "x.png"}, "(did you mean --no-mips?)"},
        {{"--iwi-verison=6", "x.png"}, "(did you mean --iwi-version?)"},
        {{"--wach", "x"}, "(did you mean --watch?)"},
        {{"-Z", "x.png"}, "was not expected: -Z"},
        {{"--to", "jpg", "x.iwi"}, "--to takes dds, iwi, png or tga"},
        {{"--game", "cod5", "x.png"}, "--game takes cod2, cod4, waw, bo1, mw2, mw3 or bo2"},
        {{"-j", "0", "x"}, "--jobs takes a number above 0"},
        {{"--level", "x", "x.iwi"}, "--level takes a number"},
        {{"x.iwi", "--face"}, "--face"},
        {{"--json"}, "no file given"},
        {{"--poll", "x"}, "--poll goes with --watch"},
        {{"--watch", "--info", "x"}, "--watch converts; it does not go with --info"},
    };
    for (const BadLine& line : lines) {
        std::ostringstream out;
        std::ostringstream err;
        EXPECT_EQ(RunConvertCommand(line.arguments, out, err), kConvertBadUsage)
            << line.arguments[0];
        const std::string first = err.str().substr(0, err.str().find('\n'));
        EXPECT_TRUE(first.starts_with("pictavo-convert: ")) << first;
        EXPECT_NE(first.find(line.said), std::string::npos) << first;
        EXPECT_NE(err.str().find("Usage: pictavo-convert"), std::string::npos);
        EXPECT_EQ(out.str(), "");
    }
}

TEST(ConvertOptions, AFarOffNameIsNotGuessedAt) {
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(RunConvertCommand({"--colour", "x.png"}, out, err), kConvertBadUsage);
    EXPECT_EQ(err.str().find("did you mean"), std::string::npos) << err.str();
}

// The order given decides between options that set the same thing, and every way of writing
// a value reads alike.
TEST(ConvertOptions, LaterOptionsWinAndValuesReadInEveryForm) {
    struct Case {
        std::vector<std::string> arguments;
        std::uint8_t version;
        bool mipmaps;
        unsigned jobs;
    };
    const std::vector<Case> cases{
        {{"--game", "bo2", "--iwi-version", "5", "x"}, 5, true, 0},
        {{"--iwi-version", "5", "--game", "bo2", "x"}, 27, true, 0},
        {{"--no-mips", "--mips", "-j3", "x"}, 6, true, 3},
        {{"--mips", "--no-mips", "--jobs=2", "x"}, 6, false, 2},
        {{"-j", "4", "--game=mw2", "x"}, 8, true, 4},
    };
    for (const Case& c : cases) {
        const ParsedArguments parsed = ParseConvertArguments(c.arguments);
        ASSERT_EQ(parsed.action, ParsedArguments::Action::kRun) << parsed.problem;
        EXPECT_EQ(parsed.options.iwiVersion, c.version) << c.arguments[0];
        EXPECT_EQ(parsed.options.encode.mipmaps, c.mipmaps) << c.arguments[0];
        EXPECT_EQ(parsed.options.jobs, c.jobs) << c.arguments[0];
        EXPECT_EQ(parsed.options.paths, std::vector<std::string>{"x"});
    }
    const ParsedArguments combined = ParseConvertArguments({"-ryq", "--", "-a.png"});
    EXPECT_TRUE(combined.options.recursive && combined.options.overwrite && combined.options.quiet);
    EXPECT_EQ(combined.options.paths, std::vector<std::string>{"-a.png"});
}

} // namespace
