#pragma once

#include "archive/archive_update.h"
#include "convert/output_plan.h"
#include "texture/result.h"

#include <string>
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

    // Makes the files planned into StagingFolder() the entries images/<path below it>: each
    // output then reads "mymod.iwd/images/a.iwi" and is written at `writeTo`; an entry the
    // archive holds is marked as existing; a name no archive may hold, and a second output of
    // one name, case aside, are refused.
    std::vector<PlannedFile> Take(std::vector<PlannedFile> files);

    // Puts file `index`'s output into the archive when it was converted.
    void Delivered(std::size_t index, bool converted);

    // Writes the entries put so far into the archive.
    pictavo::Status Commit();

private:
    pictavo::ArchiveUpdate update_;
    std::string staging_;
    std::vector<std::string> entries_; // of each file taken
    std::vector<std::string> written_; // where each was written
};
