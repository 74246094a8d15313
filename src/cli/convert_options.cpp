#include "cli/convert_options.h"

#include <charconv>
#include <functional>
#include <map>

namespace {

template <typename Value>
std::optional<Value> Lookup(const std::map<std::string, Value>& table, const std::string& text) {
    const auto found = table.find(text);
    return found == table.end() ? std::nullopt : std::optional<Value>(found->second);
}

std::optional<std::uint32_t> ParseNumber(const std::string& text) {
    std::uint32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty()) {
        return std::nullopt;
    }
    return value;
}

const std::map<std::string, Target> kTargets{
    {"dds", Target::kDds}, {"iwi", Target::kIwi}, {"png", Target::kPng}, {"tga", Target::kTga}};
// No value: chosen from the picture's alpha.
const std::map<std::string, std::optional<pictavo::FormatCode>> kFormats{
    {"dxt1", pictavo::kFormatDxt1},  {"dxt3", pictavo::kFormatDxt3}, {"dxt5", pictavo::kFormatDxt5},
    {"rgba", pictavo::kFormatBgra8}, {"rgb", pictavo::kFormatBgr8},  {"auto", std::nullopt}};
const std::map<std::string, std::uint8_t> kVersions{
    {"5", 5}, {"6", 6}, {"8", 8}, {"13", 13}, {"27", 27}};
const std::map<std::string, std::uint8_t> kGames{{"cod2", 5}, {"cod4", 6}, {"waw", 6}, {"bo1", 13},
                                                 {"mw2", 8},  {"mw3", 8},  {"bo2", 27}};
const std::map<std::string, pictavo::EncodeQuality> kQualities{
    {"fast", pictavo::EncodeQuality::kFast}, {"best", pictavo::EncodeQuality::kBest}};

// Applies an option's value; returns what is wrong with it, or an empty string.
using ValueOption = std::function<std::string(ConvertOptions&, const std::string&)>;

template <typename Value, typename Field>
ValueOption FromTable(const std::map<std::string, Value>& table, Field field, const char* wrong) {
    return [&table, field, wrong](ConvertOptions& options, const std::string& text) {
        const auto value = Lookup(table, text);
        if (!value) {
            return std::string(wrong);
        }
        field(options) = *value;
        return std::string();
    };
}

ValueOption Number(std::uint32_t ConvertOptions::*field, const char* wrong) {
    return [field, wrong](ConvertOptions& options, const std::string& text) {
        const auto value = ParseNumber(text);
        if (!value) {
            return std::string(wrong);
        }
        options.*field = *value;
        return std::string();
    };
}

const std::map<std::string, ValueOption>& ValueOptions() {
    static const std::map<std::string, ValueOption> options{
        {"--to", FromTable(
                     kTargets, [](ConvertOptions& o) -> Target& { return o.target; },
                     "--to takes dds, iwi, png or tga")},
        {"--level", Number(&ConvertOptions::level, "--level takes a number")},
        {"--face", Number(&ConvertOptions::face, "--face takes a number")},
        {"--output",
         [](ConvertOptions& o, const std::string& text) {
             o.outputDir = text;
             return std::string(text.empty() ? "--output takes a folder" : "");
         }},
        {"--jobs",
         [](ConvertOptions& o, const std::string& text) {
             const auto value = ParseNumber(text);
             o.jobs = value.value_or(0);
             return std::string(value && *value > 0 ? "" : "--jobs takes a number above 0");
         }},
        {"--format", FromTable(
                         kFormats, [](ConvertOptions & o) -> auto& { return o.format; },
                         "--format takes dxt1, dxt3, dxt5, rgba, rgb or auto")},
        {"--iwi-version", FromTable(
                              kVersions, [](ConvertOptions & o) -> auto& { return o.iwiVersion; },
                              "--iwi-version takes 5, 6, 8, 13 or 27")},
        {"--game", FromTable(
                       kGames, [](ConvertOptions & o) -> auto& { return o.iwiVersion; },
                       "--game takes cod2, cod4, waw, bo1, mw2, mw3 or bo2")},
        {"--quality", FromTable(
                          kQualities, [](ConvertOptions & o) -> auto& { return o.encode.quality; },
                          "--quality takes fast or best")},
    };
    return options;
}

const std::map<std::string, std::function<void(ConvertOptions&)>>& Switches() {
    static const std::map<std::string, std::function<void(ConvertOptions&)>> switches{
        {"--info", [](ConvertOptions& o) { o.infoOnly = true; }},
        {"--recursive", [](ConvertOptions& o) { o.recursive = true; }},
        {"--overwrite", [](ConvertOptions& o) { o.overwrite = true; }},
        {"--quiet", [](ConvertOptions& o) { o.quiet = true; }},
        {"--json", [](ConvertOptions& o) { o.json = true; }},
        {"--mips", [](ConvertOptions& o) { o.encode.mipmaps = true; }},
        {"--no-mips", [](ConvertOptions& o) { o.encode.mipmaps = false; }},
        {"--as-4-byte-texels", [](ConvertOptions& o) { o.read.fourByteTexels = true; }},
        {"--normal-map",
         [](ConvertOptions& o) { o.encode.filter = pictavo::MipFilter::kNormalMap; }},
    };
    return switches;
}

const std::map<std::string, std::string> kShortNames{{"-r", "--recursive"},
                                                     {"-o", "--output"},
                                                     {"-y", "--overwrite"},
                                                     {"-j", "--jobs"},
                                                     {"-q", "--quiet"}};

} // namespace

std::string ConvertUsage() {
    return std::string(
               "Usage: pictavo-convert [options] PATH...\n"
               "Converts each IWI file to a DDS file, each DDS file to an IWI file, and each PNG,\n"
               "TGA, JPEG, BMP or PSD picture to an IWI file. A PATH may be a folder.\n"
               "  --to dds|iwi|png|tga   write this format instead (PNG and TGA hold one level of "
               "one face)\n"
               "  --level N              the level written as PNG or TGA (0, the largest, by "
               "default)\n"
               "  --face N               the cube-map face written as PNG or TGA (0 by default)\n"
               "  -r, --recursive        take the files of folders below a folder too\n"
               "  -o, --output DIR       write into DIR, keeping the tree below each folder given\n"
               "                         (by default beside each source)\n"
               "  -y, --overwrite        replace existing outputs (never a source) instead of "
               "skipping\n"
               "  -j, --jobs N           convert N files at a time (default: one per core)\n"
               "  -q, --quiet            print failures only\n"
               "  --json                 print one JSON record per file and one for the summary\n"
               "From pictures:\n"
               "  --format dxt1|dxt3|dxt5|rgba|rgb|auto   (auto, the default: DXT1, or DXT5 "
               "with alpha)\n"
               "  --mips, --no-mips      a full mip chain down to 1 x 1 (the default), or level "
               "0 only\n"
               "  --normal-map           filter the mips as unit normals, not as sRGB colour\n"
               "  --quality fast|best    stb_dxt (the default), or libsquish's iterative cluster "
               "fit") +
           (pictavo::BestQualityAvailable() ? "" : " (not in this build)") +
           "\n"
           "  --iwi-version 5|6|8|13|27   the IWI version written (6 by default)\n"
           "  --game cod2|cod4|waw|bo1|mw2|mw3|bo2   the same, by game: 5, 6, 6, 13, 8, 8, 27\n"
           "Textures:\n"
           "  --as-4-byte-texels     read Black Ops II format 2 files (4-byte texels cut to "
           "three\n"
           "                         quarters) as those texels, R, G, B, A, the missing rows "
           "clear,\n"
           "                         rather than as the striped 3-byte pixels the game reads\n"
           "Other:\n"
           "  --info                 print container, format, size, levels, faces and layout "
           "instead\n"
           "  --help                 show this text\n"
           "  --version              show the version\n"
           "Exit status: 0 when every file succeeded, 1 when any failed or the run was stopped,\n"
           "2 for bad usage.\n";
}

ParsedArguments ParseConvertArguments(const std::vector<std::string>& arguments) {
    ParsedArguments parsed;
    const auto badUsage = [&parsed](const std::string& problem) {
        parsed.action = ParsedArguments::Action::kBadUsage;
        parsed.problem = problem;
        return parsed;
    };
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        // "--jobs=4" and "-j4" carry their value with them.
        std::string name = argument;
        std::optional<std::string> attached;
        if (const std::size_t equals = argument.find('=');
            argument.starts_with("--") && equals != std::string::npos) {
            name = argument.substr(0, equals);
            attached = argument.substr(equals + 1);
        } else if (argument.starts_with("-j") && argument.size() > 2) {
            name = "-j";
            attached = argument.substr(2);
        }
        name = Lookup(kShortNames, name).value_or(name);
        if (optionsEnded || argument.size() < 2 || argument[0] != '-') {
            parsed.options.paths.push_back(argument);
        } else if (argument == "--") {
            optionsEnded = true;
        } else if (argument == "--help") {
            parsed.action = ParsedArguments::Action::kHelp;
            return parsed;
        } else if (argument == "--version") {
            parsed.action = ParsedArguments::Action::kVersion;
            return parsed;
        } else if (const auto toggle = Switches().find(name); toggle != Switches().end()) {
            toggle->second(parsed.options);
        } else if (const auto option = ValueOptions().find(name); option != ValueOptions().end()) {
            if (!attached && i + 1 == arguments.size()) {
                return badUsage(argument + " needs a value");
            }
            const std::string problem =
                option->second(parsed.options, attached ? *attached : arguments[++i]);
            if (!problem.empty()) {
                return badUsage(problem);
            }
        } else {
            return badUsage("unknown option " + argument);
        }
    }
    if (parsed.options.paths.empty()) {
        return badUsage("no file given");
    }
    if (parsed.options.encode.quality == pictavo::EncodeQuality::kBest &&
        !pictavo::BestQualityAvailable()) {
        return badUsage("--quality best is not in this build (it needs libsquish)");
    }
    return parsed;
}
