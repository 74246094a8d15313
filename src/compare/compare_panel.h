#pragma once

#include "compare/compare_figures.h"
#include "compare/compare_side.h"
#include "compare/compare_view.h"

#include <QWidget>
#include <functional>
#include <string>

class QComboBox;

// The compare view under a bar of its choices: side by side, swipe or difference, the
// difference's gain, fit and 1:1, the level of each side, and Close. The figures of each
// comparison go to a listener, for the status line.
class ComparePanel : public QWidget {
public:
    using Listener = std::function<void(const std::string& text)>;
    static constexpr int kDefaultGain = 4;

    ComparePanel(Listener figures, std::function<void()> closed, QWidget* parent = nullptr);

    // Compares `first` with `second` at the chosen levels; faces of cube maps as `face`.
    void Compare(pictavo::CompareSide first, std::uint32_t firstLevel, pictavo::CompareSide second,
                 std::uint32_t secondLevel, std::uint32_t face);
    // Replaces the second side, keeping the first.
    void CompareWith(pictavo::CompareSide second, std::uint32_t secondLevel = 0);
    const pictavo::CompareSide& First() const { return first_; }

    CompareView& View() { return *view_; }
    // The figures' text as last given to the listener.
    const std::string& FiguresLine() const { return line_; }

private:
    void FillLevels(QComboBox& levels, const pictavo::CompareSide& side, std::uint32_t level);
    void Refresh(bool keepPlace);

    Listener figures_;
    CompareView* view_ = nullptr;
    QComboBox* gain_ = nullptr;
    QComboBox* firstLevel_ = nullptr;
    QComboBox* secondLevel_ = nullptr;
    pictavo::CompareSide first_;
    pictavo::CompareSide second_;
    std::uint32_t face_ = 0;
    std::string line_;
};

// "compared at 256 x 256; a.iwi scaled from 512 x 512" for pictures of different sizes, or
// nothing; and the size both are brought to: the smaller of each side.
struct CommonSize {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::string note;
};
CommonSize CommonSizeOf(const std::string& firstName, std::uint32_t firstWidth,
                        std::uint32_t firstHeight, const std::string& secondName,
                        std::uint32_t secondWidth, std::uint32_t secondHeight);
