#pragma once

#include "material/partners.h"
#include "texture/texture.h"

#include <QObject>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class COpenGLControl;
class QAction;
class QMenu;
class QWidget;

// What the material feature asks of the window around it.
struct MaterialSeam {
    // The normal-map check's share, or why a partner did not read, for the status line.
    std::function<void(const std::string& text)> showStatus;
    // The partners changed: the info panel names them again.
    std::function<void()> showInfo;
    // The view's mode changed from the menu: the inspect bar shows it.
    std::function<void()> showMode;
};

// The material mode's partners and choices: the normal and specular maps found by the games'
// names for the image shown (or chosen by hand, kept while the list stays), read and handed
// to the view, the shape, and the checks under View > Material Checks.
class MaterialFeature final : public QObject {
public:
    MaterialFeature(COpenGLControl& view, MaterialSeam seam, QWidget* window);

    void AddActions(QMenu& menu);
    // Finds and reads the partners of the image now shown; call after every load.
    void ImageChanged();
    // The info panel's lines naming the partners; empty when there are none.
    std::string InfoText() const;

    void ChooseNormalMap();
    void ChooseSpecularMap();

private:
    // A partner: the list text or path it was read from, and its texture.
    struct Partner {
        std::string name;
        std::shared_ptr<const pictavo::Texture> texture;
    };
    enum class Role { kNormal, kSpecular };

    void Choose(Role role);
    // Reads the list's entry `text`, or the file `path` when not listed; none on failure,
    // which the status line gives.
    std::optional<Partner> ReadPartner(const std::string& text);
    void Hand();
    void ShowCheck();
    // Forgets the hand-made choices when the list is not the one they were made in.
    void ForgetChoicesOfOtherLists();

    COpenGLControl& view_;
    MaterialSeam seam_;
    QWidget* window_;
    std::string colour_; // the list text of the image shown
    std::optional<Partner> normal_;
    std::optional<Partner> specular_;
    // Chosen by hand, by colour map, for the list they were made in.
    std::map<std::string, std::map<Role, std::string>> chosen_;
    std::vector<std::string> chosenIn_;
};
