#include "grid/grid_model.h"

#include "cell_caption.h"
#include "imagelist/image_listing.h"

#include <algorithm>

namespace {

// In KiB: a screenful of the largest cells three times over.
constexpr int kMadeCacheKiB = 64 * 1024;
constexpr int kShownCacheKiB = 48 * 1024;

int CostKiB(const QImage& image) {
    return static_cast<int>(image.sizeInBytes() / 1024) + 1;
}

// Premultiplied for drawing; without alpha where every texel is opaque, so no checkerboard
// shows through.
QImage ToQImage(const pictavo::RgbaImage& rgba) {
    const QImage wrapped(rgba.pixels.data(), static_cast<int>(rgba.width),
                         static_cast<int>(rgba.height), static_cast<int>(rgba.width) * 4,
                         QImage::Format_RGBA8888);
    bool opaque = true;
    for (std::size_t i = 3; opaque && i < rgba.pixels.size(); i += 4)
        opaque = rgba.pixels[i] == 255;
    return wrapped.convertToFormat(opaque ? QImage::Format_RGB32
                                          : QImage::Format_ARGB32_Premultiplied);
}

QString Facts(const pictavo::GridThumbnail& thumbnail) {
    return QString::fromStdString(pictavo::CellCaption(thumbnail));
}

} // namespace

GridModel::GridModel(QAbstractItemModel& list, GridListing& listing,
                     pictavo::ThumbnailSettings settings, QObject* parent)
    : QAbstractListModel(parent), list_(list), listing_(listing), made_(kMadeCacheKiB),
      shown_(kShownCacheKiB) {
    followTimer_.setSingleShot(true);
    followTimer_.setInterval(0);
    connect(&followTimer_, &QTimer::timeout, this, &GridModel::FollowList);
    // Many changes at once (a list filled name by name) are followed once.
    connect(&list_, &QAbstractItemModel::modelReset, this, &GridModel::ListChanged);
    connect(&list_, &QAbstractItemModel::rowsInserted, this, &GridModel::ListChanged);
    connect(&list_, &QAbstractItemModel::rowsRemoved, this, &GridModel::ListChanged);
    connect(&list_, &QAbstractItemModel::rowsMoved, this, &GridModel::ListChanged);
    connect(&list_, &QAbstractItemModel::layoutChanged, this, &GridModel::ListChanged);
    service_ = std::make_unique<pictavo::ThumbnailService>(
        std::move(settings),
        [this](pictavo::ThumbnailResult result) { Deliver(std::move(result)); });
}

GridModel::~GridModel() {
    service_.reset();
}

int GridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

QVariant GridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rows_)
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return list_.index(index.row(), 0).data(Qt::DisplayRole);
    case Qt::ToolTipRole: {
        // The whole caption, which the cell may have to cut short.
        const QString name = list_.index(index.row(), 0).data(Qt::DisplayRole).toString();
        const Made* made = Find(index.row());
        return made && !made->facts.isEmpty() ? name + "\n" + made->facts : name;
    }
    case kShortNameRole:
        return QString::fromStdString(pictavo::UnmarkedName(
            list_.index(index.row(), 0).data(Qt::DisplayRole).toString().toStdString()));
    case kThumbnailRole: {
        const std::optional<pictavo::ImageLocation> where = LocateRow(index.row());
        if (!where)
            return {};
        const QString id = IdOf(*where);
        const Made* made = made_.object(id);
        return made && !made->image.isNull() ? QVariant(Shown(id, *made)) : QVariant();
    }
    case kFactsRole: {
        const Made* made = Find(index.row());
        return made ? made->facts : QString();
    }
    case kStateRole: {
        const Made* made = Find(index.row());
        return !made ? kWaiting : made->image.isNull() ? kFailed : kReady;
    }
    default:
        return {};
    }
}

void GridModel::SetFollowing(bool following) {
    if (following == following_)
        return;
    following_ = following;
    if (following) {
        // What was made before may have changed on disk meanwhile.
        ++generation_;
        listing_.ListChanged();
        FollowList();
        return;
    }
    followTimer_.stop();
    service_->Want({});
    beginResetModel();
    rows_ = 0;
    wantedRows_.clear();
    endResetModel();
}

void GridModel::SetIconSide(int side) {
    if (side == iconSide_)
        return;
    iconSide_ = side;
    shown_.clear();
    if (rows_ > 0)
        emit dataChanged(index(0), index(rows_ - 1));
}

std::uint32_t GridModel::MadeSize() const {
    for (const std::uint32_t size : {64u, 128u}) {
        if (iconSide_ <= static_cast<int>(size))
            return size;
    }
    return 256;
}

QString GridModel::IdOf(const pictavo::ImageLocation& where) const {
    const std::string place =
        where.InArchive() ? where.archivePath + '\n' + where.entryName : where.filePath;
    return QString::fromStdString(place) + QLatin1Char('#') + QString::number(MadeSize());
}

std::optional<pictavo::ImageLocation> GridModel::LocateRow(int row) const {
    return listing_.Locate(list_.index(row, 0));
}

GridModel::Made* GridModel::Find(int row) const {
    const std::optional<pictavo::ImageLocation> where = LocateRow(row);
    return where ? made_.object(IdOf(*where)) : nullptr;
}

QImage GridModel::Shown(const QString& id, const Made& made) const {
    const QSize fitted = made.image.size().scaled(iconSide_, iconSide_, Qt::KeepAspectRatio);
    if (fitted == made.image.size())
        return made.image;
    if (const QImage* scaled = shown_.object(id))
        return *scaled;
    // Smooth when shrinking; texels stay sharp when a small texture is enlarged.
    const bool shrinking = fitted.width() < made.image.width();
    auto* scaled = new QImage(
        made.image.scaled(fitted, Qt::IgnoreAspectRatio,
                          shrinking ? Qt::SmoothTransformation : Qt::FastTransformation));
    const QImage copy = *scaled;
    shown_.insert(id, scaled, CostKiB(copy));
    return copy;
}

void GridModel::Want(int first, int last, int aheadFirst, int aheadLast) {
    wantedRows_.clear();
    std::vector<pictavo::ThumbnailRequest> requests;
    const auto want = [&](int row) {
        const std::optional<pictavo::ImageLocation> where = LocateRow(row);
        if (!where)
            return;
        const QString id = IdOf(*where);
        wantedRows_.insert(id, row);
        const Made* made = made_.object(id);
        if (made && made->generation >= generation_)
            return;
        requests.push_back({id.toStdString(), *where, MadeSize(),
                            made ? made->stamp : std::string(), generation_});
    };
    if (following_ && first >= 0) {
        last = std::min(last, rows_ - 1);
        for (int row = first; row <= last; ++row)
            want(row);
        for (int row = last + 1; row <= std::min(aheadLast, rows_ - 1); ++row)
            want(row);
        for (int row = first - 1; row >= std::max(aheadFirst, 0); --row)
            want(row);
    }
    service_->Want(std::move(requests));
}

void GridModel::ClearThumbnails() {
    service_->ClearDiskCache();
    made_.clear();
    shown_.clear();
    if (rows_ > 0)
        emit dataChanged(index(0), index(rows_ - 1));
}

void GridModel::ListChanged() {
    if (!following_)
        return;
    listing_.ListChanged();
    ++generation_;
    followTimer_.start();
}

void GridModel::FollowList() {
    beginResetModel();
    rows_ = list_.rowCount();
    wantedRows_.clear();
    endResetModel();
    emit RowsFollowed();
}

void GridModel::Deliver(pictavo::ThumbnailResult result) {
    Delivered delivered{std::move(result), QImage()};
    if (delivered.result.kind == pictavo::ThumbnailResult::Kind::kMade)
        delivered.image = ToQImage(delivered.result.thumbnail.image);
    bool first = false;
    {
        const std::lock_guard guard(inboxLock_);
        first = inbox_.empty();
        inbox_.push_back(std::move(delivered));
    }
    // One call takes in all that arrived meanwhile.
    if (first)
        QMetaObject::invokeMethod(this, &GridModel::TakeDelivered, Qt::QueuedConnection);
}

void GridModel::TakeDelivered() {
    std::vector<Delivered> arrived;
    {
        const std::lock_guard guard(inboxLock_);
        arrived.swap(inbox_);
    }
    for (Delivered& delivered : arrived)
        Take(delivered);
}

void GridModel::Take(Delivered& delivered) {
    const pictavo::ThumbnailResult& result = delivered.result;
    const QString id = QString::fromStdString(result.id);
    using Kind = pictavo::ThumbnailResult::Kind;
    if (result.kind == Kind::kUnchanged) {
        if (Made* made = made_.object(id))
            made->generation = std::max(made->generation, result.tag);
        return;
    }
    auto* made = new Made{delivered.image,
                          result.kind == Kind::kMade ? Facts(result.thumbnail)
                                                     : QString::fromStdString(result.error),
                          result.stamp, result.tag};
    shown_.remove(id);
    made_.insert(id, made, CostKiB(delivered.image));
    const auto row = wantedRows_.constFind(id);
    if (row != wantedRows_.constEnd() && *row < rows_)
        emit dataChanged(index(*row), index(*row));
}
