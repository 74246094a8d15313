#include "cli/convert_options.h"

#include <CLI.hpp>
#include <algorithm>
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

struct ValueOptionEntry {
    const char* names;
    const char* value; // as the help shows it
    const char* help;
    const char* group;
    ValueOption apply;
};

const char* const kOutputs = "Outputs";
const char* const kPictures = "From pictures";
const char* const kRun = "The run";

std::string QualityHelp() {
    return std::string("stb_dxt (the default), or libsquish's iterative cluster fit") +
           (pictavo::BestQualityAvailable() ? "" : " (not in this build)");
}

// Options that take a value, applied in the order they are given: the last of --game and
// --iwi-version wins.
const std::vector<ValueOptionEntry>& ValueOptions() {
    static const std::vector<ValueOptionEntry> options{
        {"--to", "dds|iwi|png|tga",
         "write this format instead (PNG and TGA hold one level of one face)", kOutputs,
         FromTable(
             kTargets, [](ConvertOptions& o) -> Target& { return o.target; },
             "--to takes dds, iwi, png or tga")},
        {"--level", "N", "the level written as PNG or TGA (0, the largest, by default)", kOutputs,
         Number(&ConvertOptions::level, "--level takes a number")},
        {"--face", "N", "the cube-map face written as PNG or TGA (0 by default)", kOutputs,
         Number(&ConvertOptions::face, "--face takes a number")},
        {"-o,--output", "DIR",
         "write into DIR, keeping the tree below each folder given (by default beside each "
         "source)",
         kOutputs,
         [](ConvertOptions& o, const std::string& text) {
             o.outputDir = text;
             return std::string(text.empty() ? "--output takes a folder" : "");
         }},
        {"--format", "dxt1|dxt3|dxt5|rgba|rgb|auto", "auto, the default: DXT1, or DXT5 with alpha",
         kPictures,
         FromTable(
             kFormats, [](ConvertOptions & o) -> auto& { return o.format; },
             "--format takes dxt1, dxt3, dxt5, rgba, rgb or auto")},
        {"--quality", "fast|best", nullptr, kPictures,
         FromTable(
             kQualities, [](ConvertOptions & o) -> auto& { return o.encode.quality; },
             "--quality takes fast or best")},
        {"--iwi-version", "5|6|8|13|27", "the IWI version written (6 by default)", kPictures,
         FromTable(
             kVersions, [](ConvertOptions & o) -> auto& { return o.iwiVersion; },
             "--iwi-version takes 5, 6, 8, 13 or 27")},
        {"--game", "cod2|cod4|waw|bo1|mw2|mw3|bo2", "the same, by game: 5, 6, 6, 13, 8, 8, 27",
         kPictures,
         FromTable(
             kGames, [](ConvertOptions & o) -> auto& { return o.iwiVersion; },
             "--game takes cod2, cod4, waw, bo1, mw2, mw3 or bo2")},
        {"-j,--jobs", "N", "convert N files at a time (default: one per core)", kRun,
         [](ConvertOptions& o, const std::string& text) {
             const auto value = ParseNumber(text);
             o.jobs = value.value_or(0);
             return std::string(value && *value > 0 ? "" : "--jobs takes a number above 0");
         }},
    };
    return options;
}

// The command line as CLI11 reads it; its switches land in `options` directly.
struct CommandLine {
    CLI::App app{"Converts each IWI file to a DDS file, each DDS file to an IWI file, and each "
                 "PNG, TGA, JPEG, BMP or PSD picture to an IWI file. A PATH may be a folder.",
                 "pictavo-convert"};
    // The options applied in the order given, each with its value.
    std::map<const CLI::Option*, ValueOption> ordered;

    explicit CommandLine(ConvertOptions& options) {
        app.set_help_flag("--help", "show this text");
        app.set_version_flag("--version", std::string(), "show the version");
        app.footer("Exit status: 0 when every file succeeded, 1 when any failed or the run was "
                   "stopped, 2 for bad usage.");
        app.get_formatter()->column_width(34);
        for (const ValueOptionEntry& entry : ValueOptions()) {
            CLI::Option* option = app.add_option(std::string(entry.names))
                                      ->type_name(entry.value)
                                      ->group(entry.group)
                                      ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
            option->description(entry.help ? entry.help : QualityHelp());
            ordered[option] = entry.apply;
        }
        app.add_flag("-r,--recursive", options.recursive,
                     "take the files of folders below a folder too")
            ->group(kOutputs);
        app.add_flag("-y,--overwrite", options.overwrite,
                     "replace existing outputs (never a source) instead of skipping")
            ->group(kOutputs);
        // The last of --mips and --no-mips wins: they are applied in order with the values.
        ordered[app.add_flag("--mips")
                    ->description("a full mip chain down to 1 x 1 (the default)")
                    ->group(kPictures)] = [](ConvertOptions& o, const std::string&) {
            o.encode.mipmaps = true;
            return std::string();
        };
        ordered[app.add_flag("--no-mips")->description("level 0 only")->group(kPictures)] =
            [](ConvertOptions& o, const std::string&) {
                o.encode.mipmaps = false;
                return std::string();
            };
        app.add_flag_callback(
               "--normal-map",
               [&options] { options.encode.filter = pictavo::MipFilter::kNormalMap; },
               "filter the mips as unit normals, not as sRGB colour")
            ->group(kPictures);
        app.add_flag("--as-4-byte-texels", options.read.fourByteTexels,
                     "read Black Ops II format 2 files (4-byte texels cut to three quarters) as "
                     "those texels, R, G, B, A, the missing rows clear, rather than as the "
                     "striped 3-byte pixels the game reads")
            ->group("Textures");
        app.add_flag("-q,--quiet", options.quiet, "print failures only")->group(kRun);
        app.add_flag("--json", options.json,
                     "print one JSON record per file and one for the summary")
            ->group(kRun);
        app.add_flag("--watch", options.watch,
                     "then keep watching the paths and convert each file added or changed as "
                     "soon as it is saved whole, until Ctrl+C")
            ->group(kRun);
        app.add_flag("--poll", options.poll,
                     "with --watch: look for changes twice a second rather than by the "
                     "system's notices (which network folders may not give)")
            ->group(kRun);
        app.add_flag("--info", options.infoOnly,
                     "print container, format, size, levels, faces and layout instead")
            ->group("Other");
        app.add_option("PATH", options.paths, "files, or folders of them")
            ->type_name("")
            ->take_all();
    }

    // Applies the values in the order given; returns the first problem.
    std::string ApplyValues(ConvertOptions& options) const {
        std::map<const CLI::Option*, std::size_t> seen;
        for (const CLI::Option* option : app.parse_order()) {
            const auto entry = ordered.find(option);
            if (entry == ordered.end()) {
                continue;
            }
            const std::size_t index = seen[option]++;
            if (index >= option->results().size()) {
                continue;
            }
            const std::string problem = entry->second(options, option->results()[index]);
            if (!problem.empty()) {
                return problem;
            }
        }
        return {};
    }

    // The option a misspelt one is most likely meant as, when one is near enough.
    std::string NearestName(const std::string& misspelt) const {
        std::string nearest;
        std::size_t best = 3; // more edits than this is another word
        for (const CLI::Option* option : app.get_options()) {
            for (const std::string& name : option->get_lnames()) {
                const std::size_t distance = EditDistance(misspelt, "--" + name);
                if (distance < best) {
                    best = distance;
                    nearest = "--" + name;
                }
            }
        }
        return nearest;
    }

    static std::size_t EditDistance(const std::string& a, const std::string& b) {
        std::vector<std::size_t> row(b.size() + 1);
        for (std::size_t j = 0; j <= b.size(); ++j) {
            row[j] = j;
        }
        for (std::size_t i = 1; i <= a.size(); ++i) {
            std::size_t diagonal = row[0];
            row[0] = i;
            for (std::size_t j = 1; j <= b.size(); ++j) {
                const std::size_t above = row[j];
                row[j] = std::min(
                    {above + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
                diagonal = above;
            }
        }
        return row[b.size()];
    }
};

// CLI11's sentence, with the option meant when an unknown one is a near miss.
std::string Problem(const CommandLine& line, const CLI::ParseError& error,
                    const std::vector<std::string>& arguments) {
    std::string problem = error.what();
    if (dynamic_cast<const CLI::ExtrasError*>(&error) == nullptr) {
        return problem;
    }
    for (const std::string& argument : arguments) {
        if (argument.starts_with("--") && problem.find(argument) != std::string::npos) {
            const std::string nearest = line.NearestName(argument.substr(0, argument.find('=')));
            if (!nearest.empty()) {
                return problem + " (did you mean " + nearest + "?)";
            }
        }
    }
    return problem;
}

} // namespace

std::string ConvertUsage() {
    ConvertOptions options;
    return CommandLine(options).app.help();
}

ParsedArguments ParseConvertArguments(const std::vector<std::string>& arguments) {
    ParsedArguments parsed;
    const auto badUsage = [&parsed](const std::string& problem) {
        parsed.action = ParsedArguments::Action::kBadUsage;
        parsed.problem = problem;
        return parsed;
    };
    CommandLine line(parsed.options);
    try {
        // CLI11 takes the arguments last first.
        std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());
        line.app.parse(reversed);
    } catch (const CLI::CallForHelp&) {
        parsed.action = ParsedArguments::Action::kHelp;
        return parsed;
    } catch (const CLI::CallForVersion&) {
        parsed.action = ParsedArguments::Action::kVersion;
        return parsed;
    } catch (const CLI::ParseError& error) {
        return badUsage(Problem(line, error, arguments));
    }
    if (const std::string problem = line.ApplyValues(parsed.options); !problem.empty()) {
        return badUsage(problem);
    }
    if (parsed.options.paths.empty()) {
        return badUsage("no file given");
    }
    if (parsed.options.encode.quality == pictavo::EncodeQuality::kBest &&
        !pictavo::BestQualityAvailable()) {
        return badUsage("--quality best is not in this build (it needs libsquish)");
    }
    if (parsed.options.poll && !parsed.options.watch) {
        return badUsage("--poll goes with --watch");
    }
    if (parsed.options.watch && parsed.options.infoOnly) {
        return badUsage("--watch converts; it does not go with --info");
    }
    return parsed;
}
