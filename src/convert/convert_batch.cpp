#include "convert/convert_batch.h"

#include "convert/job_runner.h"

#include <thread>

std::size_t ConvertBatch(const std::vector<PlannedFile>& files, const ConvertSettings& settings,
                         const BatchRun& run) {
    std::vector<FileOutcome> outcomes(files.size());
    const unsigned jobs = run.jobs > 0 ? run.jobs : std::thread::hardware_concurrency();
    return RunInOrder(
        files.size(), jobs,
        [&](std::size_t i) {
            SourceReader read;
            if (run.read) {
                read = [&run, i](std::vector<std::uint8_t>& bytes) { return run.read(i, bytes); };
            }
            outcomes[i] = ConvertFile(files[i], settings, read);
        },
        [&](std::size_t i) {
            if (run.deliver) {
                run.deliver(i, outcomes[i]);
            }
            outcomes[i] = {}; // its strings are not needed any more
        },
        run.shouldStop);
}
