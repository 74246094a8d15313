#include "compare/compare_panel.h"

#include <QActionGroup>
#include <QComboBox>
#include <QHBoxLayout>
#include <QSignalBlocker>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <array>
#include <utility>

namespace {

std::string SizeText(std::uint32_t width, std::uint32_t height) {
    return std::to_string(width) + " x " + std::to_string(height);
}

std::string SideText(const pictavo::CompareSide& side, std::uint32_t level) {
    std::string text = side.name;
    if (side.Levels() > 1) {
        text += " level " + std::to_string(level);
    }
    return text;
}

} // namespace

CommonSize CommonSizeOf(const std::string& firstName, std::uint32_t firstWidth,
                        std::uint32_t firstHeight, const std::string& secondName,
                        std::uint32_t secondWidth, std::uint32_t secondHeight) {
    CommonSize size{std::min(firstWidth, secondWidth), std::min(firstHeight, secondHeight), ""};
    const auto scaled = [&size](const std::string& name, std::uint32_t width,
                                std::uint32_t height) {
        if (width == size.width && height == size.height) {
            return std::string();
        }
        return "; " + name + " scaled from " + SizeText(width, height);
    };
    const std::string first = scaled(firstName, firstWidth, firstHeight);
    const std::string second = scaled(secondName, secondWidth, secondHeight);
    if (!first.empty() || !second.empty()) {
        size.note = "compared at " + SizeText(size.width, size.height) + first + second;
    }
    return size;
}

ComparePanel::ComparePanel(Listener figures, std::function<void()> closed, QWidget* parent)
    : QWidget(parent), figures_(std::move(figures)) {
    // It lies over the view, whose frames must not show through the bar.
    setAutoFillBackground(true);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    auto* bar = new QHBoxLayout;
    bar->setContentsMargins(2, 2, 2, 2);
    bar->setSpacing(2);
    column->addLayout(bar);
    view_ = new CompareView(this);
    column->addWidget(view_, 1);

    const auto addButton = [this, bar](QAction* action) {
        auto* button = new QToolButton(this);
        button->setDefaultAction(action);
        button->setAutoRaise(true);
        bar->addWidget(button);
    };
    auto* layouts = new QActionGroup(this);
    constexpr std::array<std::pair<const char*, CompareView::Layout>, 3> kLayouts{
        {{"Side by side", CompareView::Layout::kSideBySide},
         {"Swipe", CompareView::Layout::kSwipe},
         {"Difference", CompareView::Layout::kDifference}}};
    for (const auto& [text, layout] : kLayouts) {
        QAction* action = layouts->addAction(text);
        action->setCheckable(true);
        action->setChecked(layout == CompareView::Layout::kSideBySide);
        connect(action, &QAction::triggered, this, [this, layout] { view_->SetLayout(layout); });
        addButton(action);
    }
    gain_ = new QComboBox(this);
    gain_->setToolTip("The difference amplified");
    for (const int gain : {1, 2, 4, 8, 16, 32, 64}) {
        gain_->addItem(QStringLiteral("\u00d7%1").arg(gain), gain);
    }
    gain_->setCurrentIndex(gain_->findData(kDefaultGain));
    connect(gain_, &QComboBox::currentIndexChanged, this, [this] { Refresh(true); });
    bar->addWidget(gain_);

    auto* fit = new QAction("Fit", this);
    connect(fit, &QAction::triggered, this, [this] { view_->Fit(); });
    addButton(fit);
    auto* actual = new QAction("1:1", this);
    connect(actual, &QAction::triggered, this, [this] { view_->ShowActualSize(); });
    addButton(actual);

    firstLevel_ = new QComboBox(this);
    firstLevel_->setToolTip("Level of the first image");
    secondLevel_ = new QComboBox(this);
    secondLevel_->setToolTip("Level of the second image");
    for (QComboBox* levels : {firstLevel_, secondLevel_}) {
        // Entries change with every comparison: the box follows its longest one.
        levels->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        connect(levels, &QComboBox::currentIndexChanged, this, [this] { Refresh(false); });
        bar->addWidget(levels);
    }
    bar->addStretch();
    auto* close = new QAction("Close", this);
    close->setToolTip("Back to the view (Esc)");
    close->setShortcut(Qt::Key_Escape);
    close->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    addAction(close);
    connect(close, &QAction::triggered, this, std::move(closed));
    addButton(close);
}

void ComparePanel::FillLevels(QComboBox& levels, const pictavo::CompareSide& side,
                              std::uint32_t level) {
    const QSignalBlocker quiet(levels);
    levels.clear();
    for (std::uint32_t i = 0; i < side.Levels(); ++i) {
        levels.addItem(
            QStringLiteral("%1: %2 x %3").arg(i).arg(side.LevelWidth(i)).arg(side.LevelHeight(i)));
    }
    levels.setCurrentIndex(int(std::min(level, std::max(side.Levels(), 1u) - 1)));
    levels.setEnabled(levels.count() > 1);
}

void ComparePanel::Compare(pictavo::CompareSide first, std::uint32_t firstLevel,
                           pictavo::CompareSide second, std::uint32_t secondLevel,
                           std::uint32_t face) {
    first_ = std::move(first);
    face_ = face;
    FillLevels(*firstLevel_, first_, firstLevel);
    CompareWith(std::move(second), secondLevel);
}

void ComparePanel::CompareWith(pictavo::CompareSide second, std::uint32_t secondLevel) {
    second_ = std::move(second);
    FillLevels(*secondLevel_, second_, secondLevel);
    Refresh(false);
}

void ComparePanel::Refresh(bool keepPlace) {
    const std::uint32_t firstLevel = std::uint32_t(std::max(firstLevel_->currentIndex(), 0));
    const std::uint32_t secondLevel = std::uint32_t(std::max(secondLevel_->currentIndex(), 0));
    pictavo::RgbaImage first = first_.Decode(firstLevel, face_);
    pictavo::RgbaImage second = second_.Decode(secondLevel, face_);
    const std::string firstText = SideText(first_, firstLevel);
    const std::string secondText = SideText(second_, secondLevel);
    view_->SetNames(QString::fromStdString(firstText), QString::fromStdString(secondText));
    if (first.pixels.empty() || second.pixels.empty()) {
        view_->SetPictures(first, second, {}, keepPlace);
        line_ = second_.Empty()
                    ? "Comparing " + firstText +
                          ": choose the other image in the list, a file or a level"
                    : "Cannot compare: " + (first.pixels.empty() ? firstText : secondText) +
                          " does not decode";
        figures_(line_);
        return;
    }
    const CommonSize size =
        CommonSizeOf(firstText, first.width, first.height, secondText, second.width, second.height);
    if (!size.note.empty()) {
        first = pictavo::ScaledTo(first, size.width, size.height);
        second = pictavo::ScaledTo(second, size.width, size.height);
    }
    pictavo::CompareFigures figures;
    pictavo::Compare(first, second, figures);
    view_->SetPictures(first, second,
                       pictavo::Difference(first, second, gain_->currentData().toInt()), keepPlace);
    line_ = firstText + " against " + secondText + ": " + pictavo::FiguresText(figures) +
            (size.note.empty() ? "" : "; " + size.note);
    figures_(line_);
}
