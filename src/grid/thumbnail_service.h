#pragma once

#include "archive/archive_cache.h"
#include "grid/background_pool.h"
#include "grid/grid_thumbnail_maker.h"
#include "grid/thumbnail_disk_cache.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_set>
#include <vector>

namespace pictavo {

// One thumbnail wanted.
struct ThumbnailRequest {
    std::string id; // the asker's name for it, given back with the result
    ImageLocation where;
    std::uint32_t size = 0;
    // The stamp of the thumbnail the asker holds, if any: while the image keeps it, nothing
    // is made again.
    std::string heldStamp;
    std::uint64_t tag = 0; // given back with the result
};

struct ThumbnailResult {
    enum class Kind { kUnchanged, kMade, kFailed };

    std::string id;
    std::uint64_t tag = 0;
    Kind kind = Kind::kFailed;
    std::string stamp;       // the image's (see ImageStamp); empty when it is not there
    GridThumbnail thumbnail; // kMade
    std::string error;       // kFailed
};

struct ThumbnailSettings {
    std::filesystem::path cacheFolder;
    std::uint64_t cacheLimit = std::uint64_t{512} << 20;
    unsigned threads = 0; // one per core
    GridThumbnailMaker maker = MakeGridThumbnail;
};

// Makes the thumbnails asked for on background threads, those asked first first: from the
// disk cache where it holds the image's present version, else from the image, storing what
// it made. Each result goes to `deliver` on the thread that made it.
class ThumbnailService {
public:
    using Deliver = std::function<void(ThumbnailResult)>;

    ThumbnailService(ThumbnailSettings settings, Deliver deliver);
    ~ThumbnailService();
    ThumbnailService(const ThumbnailService&) = delete;
    ThumbnailService& operator=(const ThumbnailService&) = delete;

    // The requests still waiting become these; those being made finish. A request for an id
    // being made is dropped: its result is on its way.
    void Want(std::vector<ThumbnailRequest> requests);
    // While leaving a core, one thread fewer makes thumbnails (never none): the window's
    // thread keeps a core of its own while the user scrolls.
    void LeaveOneCore(bool leave);
    // How many threads may make thumbnails at once now.
    unsigned Workers() const { return pool_.Limit(); }
    // Empties the disk cache at once; its files are deleted in the background.
    void ClearDiskCache();
    // Blocks until nothing waits or is being made.
    void WaitIdle();

private:
    ThumbnailResult Make(const ThumbnailRequest& request, ArchiveCache& archives);
    void Run(const ThumbnailRequest& request, unsigned thread);

    const GridThumbnailMaker maker_;
    const Deliver deliver_;
    ThumbnailDiskCache disk_;
    std::vector<std::unique_ptr<ArchiveCache>> archives_; // one per thread
    std::mutex runningLock_;
    std::unordered_set<std::string> running_;
    std::future<void> clearing_;
    BackgroundPool pool_; // last: its threads stop before anything they use goes
};

} // namespace pictavo
