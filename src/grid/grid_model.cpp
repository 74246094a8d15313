#include "grid/grid_model.h"

#include "archive/marked_name.h"
#include "grid/cell_caption.h"

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

// Fitted to a square of `side`: smooth when shrinking; texels stay sharp when a small texture
// is enlarged.
QImage Fitted(const QImage& image, int side) {
    const QSize fitted = image.size().scaled(side, side, Qt::KeepAspectRatio);
    if (fitted == image.size())
        return image;
    const bool shrinking = fitted.width() < image.width();
    return image.scaled(fitted, Qt::IgnoreAspectRatio,
                        shrinking ? Qt::SmoothTransformation : Qt::FastTransformation);
}

// Both images' cost, the one shared by both counted once.
int CostKiB(const QImage& image, const QImage& shown) {
    return CostKiB(image) + (shown.cacheKey() == image.cacheKey() ? 0 : CostKiB(shown));
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
    takeTimer_.setSingleShot(true);
    takeTimer_.setInterval(0);
    connect(&takeTimer_, &QTimer::timeout, this, &GridModel::TakeDelivered);
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
        const QString& id = RowId(index.row());
        const Made* made = id.isEmpty() ? nullptr : made_.object(id);
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
    wanted_.reset();
    wantedRows_.clear();
    rowIds_.clear();
    endResetModel();
}

void GridModel::SetIconSide(int side) {
    if (side == iconSide_)
        return;
    iconSide_ = side;
    wanted_.reset();
    shown_.clear();
    rowIds_.clear(); // the size made may have changed
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

const QString& GridModel::RowId(int row) const {
    if (rowIds_.size() != static_cast<std::size_t>(rows_))
        rowIds_.assign(static_cast<std::size_t>(rows_), std::nullopt);
    std::optional<QString>& id = rowIds_[static_cast<std::size_t>(row)];
    if (!id) {
        const std::optional<pictavo::ImageLocation> where = LocateRow(row);
        id = where ? IdOf(*where) : QString();
    }
    return *id;
}

std::optional<pictavo::ImageLocation> GridModel::LocateRow(int row) const {
    return listing_.Locate(list_.index(row, 0));
}

GridModel::Made* GridModel::Find(int row) const {
    const QString& id = RowId(row);
    return id.isEmpty() ? nullptr : made_.object(id);
}

QImage GridModel::Shown(const QString& id, const Made& made) const {
    if (made.shownSide == iconSide_)
        return made.shown;
    if (const QImage* scaled = shown_.object(id))
        return *scaled;
    auto* scaled = new QImage(Fitted(made.image, iconSide_));
    const QImage copy = *scaled;
    shown_.insert(id, scaled, CostKiB(copy));
    return copy;
}

void GridModel::Want(int first, int last, int aheadFirst, int aheadLast) {
    const WantedRange range{first, last, aheadFirst, aheadLast};
    if (wanted_ == range)
        return;
    wanted_ = range;
    wantedRows_.clear();
    std::vector<pictavo::ThumbnailRequest> requests;
    const auto want = [&](int row) {
        const QString& id = RowId(row);
        if (id.isEmpty())
            return;
        wantedRows_.insert(id, row);
        const Made* made = made_.object(id);
        if (made && made->generation >= generation_)
            return;
        const std::optional<pictavo::ImageLocation> where = LocateRow(row);
        if (!where)
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
    wanted_.reset();
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
    wanted_.reset();
    rowIds_.clear();
    followTimer_.start();
}

void GridModel::FollowList() {
    beginResetModel();
    rows_ = list_.rowCount();
    wanted_.reset();
    wantedRows_.clear();
    rowIds_.clear();
    endResetModel();
    emit RowsFollowed();
}

void GridModel::Deliver(pictavo::ThumbnailResult result) {
    Delivered delivered{std::move(result), QImage(), QImage(), 0};
    if (delivered.result.kind == pictavo::ThumbnailResult::Kind::kMade) {
        delivered.image = ToQImage(delivered.result.thumbnail.image);
        // Scaled here, off the window's thread: painting it only copies pixels.
        delivered.shownSide = iconSide_;
        delivered.shown = Fitted(delivered.image, delivered.shownSide);
    }
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
    bool more = false;
    {
        const std::lock_guard guard(inboxLock_);
        const auto end =
            inbox_.begin() + static_cast<std::ptrdiff_t>(std::min(inbox_.size(), kTakenPerTurn));
        arrived.assign(std::make_move_iterator(inbox_.begin()), std::make_move_iterator(end));
        inbox_.erase(inbox_.begin(), end);
        more = !inbox_.empty();
    }
    for (Delivered& delivered : arrived)
        Take(delivered);
    if (more)
        takeTimer_.start();
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
                          delivered.shown,
                          delivered.shownSide,
                          result.kind == Kind::kMade ? Facts(result.thumbnail)
                                                     : QString::fromStdString(result.error),
                          result.stamp,
                          result.tag};
    shown_.remove(id);
    made_.insert(id, made, CostKiB(delivered.image, delivered.shown));
    const auto row = wantedRows_.constFind(id);
    if (row != wantedRows_.constEnd() && *row < rows_)
        emit dataChanged(index(*row), index(*row));
}
