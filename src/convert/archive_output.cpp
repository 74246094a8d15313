#include "convert/archive_output.h"

#include "archive/entry_name.h"
#include "convert/file_walk.h"
#include "texture/ascii_case.h"
#include "texture/utf8_path.h"

#include <algorithm>
#include <random>

namespace fs = std::filesystem;

namespace {

constexpr const char* kEntryFolder = "images/";

// Every occurrence of `from` in `text` replaced by `to`.
std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); !from.empty() && at != std::string::npos;
         at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

// A folder of its own in the system's temporary folder.
pictavo::Result<fs::path> MakeStagingFolder() {
    std::error_code error;
    const fs::path temporary = fs::temp_directory_path(error);
    if (error) {
        return pictavo::Failure(pictavo::TextureError::kOpen,
                                "There is no temporary folder: " + error.message());
    }
    std::random_device seed;
    std::mt19937_64 random(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        const fs::path folder =
            temporary / ("pictavo-iwd-" + std::to_string(random() % 1000000000));
        if (fs::create_directory(folder, error)) {
            return folder;
        }
    }
    return pictavo::Failure(pictavo::TextureError::kOpen,
                            "Cannot make a folder in " + pictavo::PathText(temporary));
}

} // namespace

bool IsArchiveOutput(const std::string& output) {
    const std::string extension = LowerExtension(pictavo::PathOf(output));
    return extension == ".iwd" || extension == ".zip";
}

ArchiveOutput::~ArchiveOutput() {
    if (!staging_.empty()) {
        std::error_code error;
        fs::remove_all(pictavo::PathOf(staging_), error);
    }
}

pictavo::Status ArchiveOutput::Open(const std::string& archivePath) {
    if (const pictavo::Status listed = update_.Open(archivePath); !listed) {
        return listed;
    }
    const pictavo::Result<fs::path> folder = MakeStagingFolder();
    if (!folder) {
        return folder.error();
    }
    staging_ = pictavo::PathText(folder.value());
    return {};
}

std::vector<PlannedFile> ArchiveOutput::Take(std::vector<PlannedFile> files) {
    const fs::path staging = pictavo::PathOf(staging_);
    std::unordered_set<std::string> claimed;
    entries_.clear();
    written_.clear();
    for (PlannedFile& file : files) {
        const fs::path below = pictavo::PathOf(file.output).lexically_relative(staging);
        std::string entry = kEntryFolder + pictavo::PathText(below);
        std::replace(entry.begin(), entry.end(), static_cast<char>(fs::path::preferred_separator),
                     '/');
        const std::string shown = update_.Path() + "/" + entry;
        file.refusal = Replaced(file.refusal, file.output, shown);
        if (const pictavo::Status safe = pictavo::SafeEntryName(entry);
            file.refusal.empty() && !safe) {
            file.refusal = shown + " cannot be an archive's entry: " + safe.error().text;
        } else if (file.refusal.empty() && !claimed.insert(pictavo::AsciiLower(entry)).second) {
            file.refusal = "another source already writes " + shown;
        }
        file.writeTo = std::move(file.output);
        file.output = shown;
        file.exists = update_.Has(entry) && !committed_.contains(pictavo::AsciiLower(entry));
        entries_.push_back(entry);
        written_.push_back(file.writeTo);
    }
    return files;
}

void ArchiveOutput::Delivered(std::size_t index, bool converted) {
    // Take() refused every name the archive would; a file it did not take is not the archive's.
    if (converted && index < entries_.size()) {
        static_cast<void>(update_.PutFile(entries_[index], written_[index]));
        put_.insert(pictavo::AsciiLower(entries_[index]));
    }
}

std::vector<PlannedFile>
ArchiveOutput::Plan(const std::vector<SourceFile>& sources,
                    const std::function<const char*(const fs::path&)>& extensionOf) {
    return Take(PlanOutputs(sources, staging_, extensionOf));
}

pictavo::Status ArchiveOutput::Commit() {
    const pictavo::Status committed = update_.Commit();
    if (committed) {
        committed_.merge(put_);
    }
    put_.clear();
    // A later save of the same source is staged anew.
    for (const std::string& file : written_) {
        std::error_code error;
        fs::remove(pictavo::PathOf(file), error);
    }
    return committed;
}
