#pragma once

#include "grid/grid_listing.h"
#include "grid/thumbnail_service.h"

#include <QAbstractListModel>
#include <QCache>
#include <QHash>
#include <QImage>
#include <QTimer>
#include <atomic>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

// The list's rows as the grid shows them: each row's name and, once made, its thumbnail and
// the texture's size and format. It holds no pixels beyond a bounded cache of the thumbnails
// used last, whatever the list's length; thumbnails are made for the rows Want names.
class GridModel final : public QAbstractListModel {
    Q_OBJECT

public:
    enum Role {
        kThumbnailRole = Qt::UserRole + 64, // QImage at most the icon side a side, or none yet
        kFactsRole,                         // "512 x 256 DXT5", or why there is no thumbnail
        kStateRole,                         // CellState
        kShortNameRole,                     // the name without the archive or folder mark
    };
    enum CellState { kWaiting, kReady, kFailed };
    // Made thumbnails taken in per turn of the event loop, the rest at the next: many made at
    // once never hold up a frame.
    static constexpr std::size_t kTakenPerTurn = 32;

    GridModel(QAbstractItemModel& list, GridListing& listing, pictavo::ThumbnailSettings settings,
              QObject* parent = nullptr);
    ~GridModel() override;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    // While following, the rows are the list's; otherwise there are none and nothing is made.
    void SetFollowing(bool following);
    // Thumbnails are made at the size of the smallest of 64, 128 and 256 at least the side,
    // and shown at the side.
    void SetIconSide(int side);
    int IconSide() const { return iconSide_.load(); }
    // Rows first to last are on screen, aheadFirst to aheadLast may come next: thumbnails are
    // made for them in that order (those below before those above), and for no other row.
    void Want(int first, int last, int aheadFirst, int aheadLast);
    // Forgets every thumbnail made, in memory and on disk.
    void ClearThumbnails();
    pictavo::ThumbnailService& Service() { return *service_; }

signals:
    // The rows were read again from the list.
    void RowsFollowed();

private:
    struct Made {
        QImage image; // null when it could not be made
        QImage shown; // the image fitted to shownSide
        int shownSide = 0;
        QString facts;
        std::string stamp;
        std::uint64_t generation = 0;
    };
    struct Delivered {
        pictavo::ThumbnailResult result;
        QImage image;
        QImage shown;
        int shownSide = 0;
    };

    void ListChanged();
    void FollowList();
    // On a worker thread.
    void Deliver(pictavo::ThumbnailResult result);
    // Takes in the thumbnails made so far, on the model's thread.
    void TakeDelivered();
    void Take(Delivered& delivered);
    // The thumbnail's name: the image's place and the size made.
    QString IdOf(const pictavo::ImageLocation& where) const;
    // A row's IdOf, empty for a row that shows no image.
    const QString& RowId(int row) const;
    std::optional<pictavo::ImageLocation> LocateRow(int row) const;
    Made* Find(int row) const;
    QImage Shown(const QString& id, const Made& made) const;
    std::uint32_t MadeSize() const;

    QAbstractItemModel& list_;
    GridListing& listing_;
    int rows_ = 0;
    bool following_ = false;
    std::atomic<int> iconSide_ = 128; // read by the workers too
    // Grows with each change of the list: a thumbnail of an older one is shown, and its
    // image's stamp checked again.
    std::uint64_t generation_ = 1;
    mutable QCache<QString, Made> made_;
    // Made ones scaled to the icon side on this thread: those made before it changed.
    mutable QCache<QString, QImage> shown_;
    // Each row's RowId, looked up once per list and size: painting a cell asks several times.
    mutable std::vector<std::optional<QString>> rowIds_;
    QHash<QString, int> wantedRows_;
    // The rows last wanted, until anything but scrolling changes what they need: while a
    // scroll stays within the same rows, asking again would only rebuild the same requests.
    struct WantedRange {
        int first, last, aheadFirst, aheadLast;
        bool operator==(const WantedRange&) const = default;
    };
    std::optional<WantedRange> wanted_;
    QTimer followTimer_;
    QTimer takeTimer_; // the next turn's share of the inbox
    std::mutex inboxLock_;
    std::deque<Delivered> inbox_;
    std::unique_ptr<pictavo::ThumbnailService> service_; // last: stops before the rest goes
};
