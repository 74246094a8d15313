#include "cli/convert_command.h"

#include "cli/convert_options.h"
#include "cli/convert_watch.h"
#include "cli/reporter.h"
#include "convert/archive_output.h"
#include "convert/convert_batch.h"
#include "convert/file_walk.h"
#include "convert/output_plan.h"
#include "convert/stop_signal.h"
#include "texture/utf8_path.h"
#include "version/pictavo_version.h"

#include <ostream>

namespace {

int PrintInfo(const std::vector<SourceFile>& sources, std::ostream& out) {
    bool allSucceeded = true;
    for (const SourceFile& source : sources) {
        const pictavo::Result<std::string> description =
            DescribeFile(pictavo::PathText(source.path));
        out << pictavo::PathText(source.path) << ": "
            << (description ? description.value() : description.error().text) << '\n';
        allSucceeded = allSucceeded && description.has_value();
    }
    return allSucceeded ? kConvertAllSucceeded : kConvertSomeFailed;
}

Reporter::Style StyleFor(const ConvertOptions& options, bool terminal) {
    if (options.json) {
        return Reporter::Style::kJson;
    }
    if (options.quiet) {
        return Reporter::Style::kQuiet;
    }
    return terminal ? Reporter::Style::kTerminal : Reporter::Style::kLines;
}

// The bytes to read, for the progress bar's rate and time left.
std::uint64_t TotalBytes(const std::vector<PlannedFile>& files) {
    std::uint64_t total = 0;
    for (const PlannedFile& file : files) {
        std::error_code error;
        const std::uintmax_t size = std::filesystem::file_size(pictavo::PathOf(file.source), error);
        total += error ? 0 : size;
    }
    return total;
}

int Convert(const ConvertOptions& options, const std::vector<SourceFile>& sources,
            std::ostream& out, std::ostream& err, const ConvertEnvironment& environment) {
    ArchiveOutput archive;
    const bool intoArchive = IsArchiveOutput(options.outputDir);
    if (const pictavo::Status opened =
            intoArchive ? archive.Open(options.outputDir) : pictavo::Status{};
        !opened) {
        err << "pictavo-convert: " << opened.error().text << '\n';
        return kConvertSomeFailed;
    }
    const auto extension = [&options](const std::filesystem::path& source) {
        return OutputExtension(options.target, source);
    };
    const auto plan = [&](const std::vector<SourceFile>& some) {
        return intoArchive ? archive.Plan(some, extension)
                           : PlanOutputs(some, options.outputDir, extension);
    };
    const std::vector<PlannedFile> files = plan(sources);
    // A watch has no end to draw a bar towards.
    const Reporter::Style style = StyleFor(options, environment.terminal && !options.watch);
    Reporter reporter(out, style, style == Reporter::Style::kTerminal ? TotalBytes(files) : 0);
    const StopOnSignal stop;
    std::size_t delivered = 0;
    pictavo::Status committed;
    const auto convert = [&](const std::vector<PlannedFile>& some) {
        reporter.Expect(some.size());
        BatchRun run;
        run.jobs = options.jobs;
        run.deliver = [&](std::size_t i, const FileOutcome& outcome) {
            if (intoArchive) {
                archive.Delivered(i, outcome.status == FileOutcome::Status::kConverted);
            }
            if (outcome.status == FileOutcome::Status::kSkipped) {
                FileOutcome hinted = outcome;
                hinted.message += " (-y replaces it)";
                reporter.Add(hinted);
            } else {
                reporter.Add(outcome);
            }
            if (environment.afterFile) {
                environment.afterFile(++delivered);
            }
        };
        run.shouldStop = StopOnSignal::Requested;
        ConvertBatch(some, options, run);
        // A run's entries, or a batch of saves', go into the archive together, stopped or not.
        if (const pictavo::Status written = archive.Commit(); !written) {
            err << "pictavo-convert: " << written.error().text << '\n';
            committed = written;
        }
    };
    if (!options.watch) {
        convert(files);
    } else {
        const WatchHooks hooks{plan, convert, environment.afterBatch, StopOnSignal::Requested};
        WatchAndConvert(options, sources, hooks, err);
    }
    const RunSummary& summary = reporter.Finish(StopOnSignal::Requested());
    return committed && summary.failed == 0 && summary.notStarted == 0 ? kConvertAllSucceeded
                                                                       : kConvertSomeFailed;
}

} // namespace

int RunConvertCommand(const std::vector<std::string>& arguments, std::ostream& out,
                      std::ostream& err, const ConvertEnvironment& environment) {
    const ParsedArguments parsed = ParseConvertArguments(arguments);
    switch (parsed.action) {
    case ParsedArguments::Action::kHelp:
        out << ConvertUsage();
        return kConvertAllSucceeded;
    case ParsedArguments::Action::kVersion:
        out << "pictavo-convert " << kPictavoVersion << "\n";
        return kConvertAllSucceeded;
    case ParsedArguments::Action::kBadUsage:
        err << "pictavo-convert: " << parsed.problem << '\n' << ConvertUsage();
        return kConvertBadUsage;
    default:
        break;
    }
    const ConvertOptions& options = parsed.options;
    const std::vector<SourceFile> sources =
        CollectSources(options.paths, options.recursive, options.outputDir);
    return options.infoOnly ? PrintInfo(sources, out)
                            : Convert(options, sources, out, err, environment);
}
