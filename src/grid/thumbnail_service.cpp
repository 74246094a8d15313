#include "grid/thumbnail_service.h"

#include "grid/image_stamp.h"

#include <system_error>
#include <utility>

namespace pictavo {
namespace {

// Per thread: a game's names, sorted, come from its archives in turn.
constexpr std::size_t kOpenArchivesPerThread = 8;

} // namespace

ThumbnailService::ThumbnailService(ThumbnailSettings settings, Deliver deliver)
    : maker_(std::move(settings.maker)), deliver_(std::move(deliver)),
      disk_(std::move(settings.cacheFolder), settings.cacheLimit), pool_(settings.threads) {
    for (unsigned i = 0; i < pool_.Threads(); ++i) {
        archives_.push_back(std::make_unique<ArchiveCache>(kOpenArchivesPerThread));
    }
}

ThumbnailService::~ThumbnailService() = default;

void ThumbnailService::Want(std::vector<ThumbnailRequest> requests) {
    std::vector<BackgroundPool::Task> tasks;
    tasks.reserve(requests.size());
    for (ThumbnailRequest& request : requests) {
        tasks.emplace_back(
            [this, request = std::move(request)](unsigned thread) { Run(request, thread); });
    }
    pool_.Replace(std::move(tasks));
}

void ThumbnailService::LeaveOneCore(bool leave) {
    pool_.SetLimit(leave ? pool_.Threads() - 1 : pool_.Threads());
}

void ThumbnailService::ClearDiskCache() {
    if (clearing_.valid()) {
        clearing_.wait();
    }
    const std::filesystem::path aside = disk_.SetAside();
    if (aside.empty()) {
        return;
    }
    clearing_ = std::async(std::launch::async, [aside] {
        std::error_code error;
        std::filesystem::remove_all(aside, error);
    });
}

void ThumbnailService::WaitIdle() {
    pool_.WaitIdle();
    if (clearing_.valid()) {
        clearing_.wait();
    }
}

void ThumbnailService::Run(const ThumbnailRequest& request, unsigned thread) {
    {
        const std::lock_guard guard(runningLock_);
        if (!running_.insert(request.id).second) {
            return;
        }
    }
    ThumbnailResult result = Make(request, *archives_[thread]);
    {
        const std::lock_guard guard(runningLock_);
        running_.erase(request.id);
    }
    deliver_(std::move(result));
}

ThumbnailResult ThumbnailService::Make(const ThumbnailRequest& request, ArchiveCache& archives) {
    ThumbnailResult result;
    result.id = request.id;
    result.tag = request.tag;
    Result<std::string> stamp = ImageStamp(request.where, archives);
    if (!stamp) {
        result.error = stamp.error().text;
        return result;
    }
    result.stamp = std::move(stamp).value();
    if (result.stamp == request.heldStamp) {
        result.kind = ThumbnailResult::Kind::kUnchanged;
        return result;
    }
    const std::string key = result.stamp + '\n' + std::to_string(request.size);
    if (std::optional<GridThumbnail> stored = disk_.Load(key)) {
        result.kind = ThumbnailResult::Kind::kMade;
        result.thumbnail = std::move(*stored);
        return result;
    }
    if (Status made = maker_(request.where, request.size, archives, result.thumbnail); !made) {
        result.error = made.error().text;
        return result;
    }
    disk_.Store(key, result.thumbnail);
    result.kind = ThumbnailResult::Kind::kMade;
    return result;
}

} // namespace pictavo
