#pragma once

#include "cli/convert_options.h"
#include "convert/file_walk.h"
#include "convert/output_plan.h"

#include <functional>
#include <iosfwd>
#include <vector>

struct WatchHooks {
    // Where the sources' outputs go, as the first pass planned them.
    std::function<std::vector<PlannedFile>(const std::vector<SourceFile>&)> plan;
    // Converts planned files and reports each, as the first pass does.
    std::function<void(const std::vector<PlannedFile>&)> convert;
    // Called once each batch is converted (an archive is written once a batch).
    std::function<void()> afterBatch;
    std::function<bool()> shouldStop;
};

// Converts `sources`, then goes on watching the paths the options give and converts each file
// added or changed there, as the walk would have taken it, once it has been saved whole; a
// burst of saves is one batch. Our own outputs are never taken as sources. Says on
// `err` when it starts watching; returns once shouldStop holds.
void WatchAndConvert(const ConvertOptions& options, std::vector<SourceFile> sources,
                     const WatchHooks& hooks, std::ostream& err);
