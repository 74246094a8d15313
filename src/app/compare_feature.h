#pragma once

#include "compare/compare_side.h"

#include <QObject>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class COpenGLControl;
class ComparePanel;
class ListBox;
class QAction;
class QGridLayout;
class QMenu;
class ShownFileReload;

// What the compare feature asks of the window around it.
struct CompareSeam {
    // A comparison's figures, or why the other side did not read, for the status line.
    std::function<void(const std::string& text)> showStatus;
    // After a comparison: the view shows the list's highlighted entry, compared last.
    std::function<void()> showListChoice;
    // After a comparison whose list choice the view shows already: the list's count.
    std::function<void()> showListStatus;
};

// View > Compare: the image shown against the list's next selection, a file, its previous
// version on disk (after a reload), or another of its levels, in a panel that takes the
// view's place while comparing.
class CompareFeature final : public QObject {
public:
    // The panel stands hidden in `viewPlace`, the layout that gives the view its place.
    CompareFeature(COpenGLControl& view, const ListBox& list, const ShownFileReload& reload,
                   CompareSeam seam, QGridLayout& viewPlace);
    ~CompareFeature() override;

    // View > Compare with its four choices, Ctrl+K the first.
    void AddActions(QMenu& menu);
    // Offers the choices the image on display allows; call after every load.
    void UpdateActions();
    ComparePanel& Panel() { return *panel_; }
    bool Comparing() const;

    void WithSelection();
    void WithFile();
    void WithPrevious();
    void Levels();
    // While comparing, the list's selection becomes the other side.
    void CompareWithSelected();
    void Close();

private:
    bool ImageShown() const;
    pictavo::CompareSide ShownSide() const;
    void Start(pictavo::CompareSide other, std::uint32_t otherLevel);

    COpenGLControl& view_;
    const ListBox& list_;
    const ShownFileReload& reload_;
    CompareSeam seam_;
    std::unique_ptr<ComparePanel> panel_; // after the seam its listeners reach
    std::vector<QAction*> actions_;
    QAction* previous_ = nullptr;
};
