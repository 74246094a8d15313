#pragma once

#include "archive/archive_update.h"
#include "convert/output_plan.h"
#include "texture/result.h"

#include <filesystem>
#include <functional>
#include <string>
#include <unordered_set>
#include <vector>

// Whether an output named so is an archive rather than a folder: it ends in .iwd or .zip,
// whatever their case.
bool IsArchiveOutput(const std::string& output);

// A run's outputs as entries of one archive (a mod's .iwd): each file is converted into a
// staging folder of its own, then the converted ones go into the archive together, in one
// rewrite, so that the archive is whole whenever the run stops.
class ArchiveOutput {
public:
    ArchiveOutput() = default;
    // Removes the staging folder.
    ~ArchiveOutput();
    ArchiveOutput(const ArchiveOutput&) = delete;
    ArchiveOutput& operator=(const ArchiveOutput&) = delete;

    // Lists the archive (which need not exist yet) and makes the staging folder.
    pictavo::Status Open(const std::string& archivePath);

    // Where files are planned, to be taken over by Take().
    const std::string& StagingFolder() const { return staging_; }

    // Plans the sources as PlanOutputs does, into the archive through Take().
    std::vector<PlannedFile>
    Plan(const std::vector<SourceFile>& sources,
         const std::function<const char*(const std::filesystem::path&)>& extensionOf);

    // Makes the files planned into StagingFolder() the entries images/<path below it>: each
    // output then reads "mymod.iwd/images/a.iwi" and is written at `writeTo`; an entry the
    // archive holds is marked as existing, unless this object wrote it (a later save replaces
    // it); a name no archive may hold, and a second output of
    // one name, case aside, are refused.
    std::vector<PlannedFile> Take(std::vector<PlannedFile> files);

    // Puts file `index`'s output into the archive when it was converted.
    void Delivered(std::size_t index, bool converted);

    // Writes the entries put since the last commit into the archive, in one rewrite, and
    // removes their staged files; a run or a batch of saves commits once.
    pictavo::Status Commit();

private:
    pictavo::ArchiveUpdate update_;
    std::string staging_;
    std::vector<std::string> entries_;          // of each file taken
    std::vector<std::string> written_;          // where each was written
    std::unordered_set<std::string> put_;       // folded names put since the last commit
    std::unordered_set<std::string> committed_; // folded names written by a commit
};
