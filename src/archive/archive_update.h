#pragma once

#include "texture/result.h"

#include <string>
#include <vector>

namespace pictavo {

// Entries put into one zip archive (.iwd, .zip) and written there together. Commit writes the
// whole archive beside itself and renames it into place, so a stop, a crash or a full disk
// leaves the old one whole; entries not replaced keep their compressed bytes as they were.
// The archive is held open only while it is listed or written, so a game or a viewer may open
// it meanwhile. An archive that does not exist is made by the first commit.
class ArchiveUpdate {
public:
    // Lists the archive at `path`, which need not exist; fails on a file that is not a zip
    // archive or cannot be read.
    Status Open(const std::string& path);

    const std::string& Path() const { return path_; }

    // Whether the archive, or what is put since the last commit, holds an entry of this name,
    // case aside, as the games look names up.
    bool Has(const std::string& name) const;

    // Puts the file at `file` as the entry `name`, deflated, in place of one of the same name
    // (case aside). The file is read when the archive is written, and must stay until then.
    Status PutFile(const std::string& name, const std::string& file);

    // How many entries are put and not yet written.
    std::size_t Pending() const { return pending_.size(); }

    // Writes what was put since the last commit, in one rewrite.
    // On failure the archive stays as it was and the entries put are dropped.
    Status Commit();

private:
    struct Put {
        std::string name;
        std::string file;
    };

    Status List();

    std::string path_;
    std::vector<std::string> names_; // the archive's, folded to lower case
    std::vector<Put> pending_;
};

} // namespace pictavo
