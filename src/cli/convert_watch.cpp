#include "cli/convert_watch.h"

#include "texture/utf8_path.h"
#include "watch/folder_watch.h"

#include <algorithm>
#include <ostream>
#include <set>

namespace fs = std::filesystem;

namespace {

// Short, to convert soon after a save: a save caught before it is whole fails to decode, is
// reported, and is tried again at its next change.
constexpr FileWatchTiming kConvertTiming{30, 20};

} // namespace

void WatchAndConvert(const ConvertOptions& options, std::vector<SourceFile> sources,
                     const WatchHooks& hooks, std::ostream& err) {
    std::error_code noFolder;
    const fs::path base = fs::current_path(noFolder);
    // What this run writes is never a source: the watch would convert its own outputs back.
    std::set<fs::path> outputs;
    const auto plan = [&] {
        std::vector<PlannedFile> planned = hooks.plan(sources);
        for (const PlannedFile& file : planned) {
            if (file.refusal.empty()) {
                outputs.insert(AbsolutePath(pictavo::PathOf(file.output), base));
            }
        }
        return planned;
    };
    const std::vector<PlannedFile> firstPass = plan();
    const auto sourceFor = [&options](const fs::path& changed) {
        return SourceFor(changed, options.paths, options.recursive, options.outputDir);
    };

    FolderWatchSetup setup;
    setup.folders = FoldersOf(options.paths);
    setup.recursive = options.recursive;
    setup.poll = options.poll;
    setup.timing = kConvertTiming;
    setup.wanted = [&](const fs::path& changed) {
        return outputs.count(changed) == 0 && sourceFor(changed).has_value();
    };
    // Watching from before the first pass: a save made during it is converted after it.
    FolderWatch watch(setup);
    hooks.convert(firstPass);
    const std::size_t folders = setup.folders.size();
    err << "pictavo-convert: watching " << folders << (folders == 1 ? " folder" : " folders")
        << (watch.Polling() ? ", looking twice a second" : "") << "; Ctrl+C ends\n"
        << std::flush;

    while (!hooks.shouldStop()) {
        std::set<std::size_t> chosen;
        for (const fs::path& changed : watch.NextBatch(hooks.shouldStop)) {
            const std::optional<SourceFile> source = sourceFor(changed);
            if (!source) {
                continue;
            }
            const auto known = std::ranges::find_if(sources, [&](const SourceFile& s) {
                return AbsolutePath(s.path, base) == changed;
            });
            chosen.insert(static_cast<std::size_t>(known - sources.begin()));
            if (known == sources.end()) {
                sources.push_back(*source);
            }
        }
        if (chosen.empty()) {
            continue;
        }
        const std::vector<PlannedFile> planned = plan();
        std::vector<PlannedFile> batch;
        for (const std::size_t i : chosen) {
            batch.push_back(planned[i]);
        }
        hooks.convert(batch);
        if (hooks.afterBatch) {
            hooks.afterBatch();
        }
    }
}
