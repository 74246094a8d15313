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
    // Finds the partners of the image now shown by name; call after every load. They are
    // read only while the material mode shows, so browsing in the other modes reads no more.
    void ImageChanged();
    // Reads the partners and gives the normal-map check when the view now shows the material
    // mode; call after the mode changed.
    void ModeShown();
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
    // Reads the partners named, once per image, and hands them to the view.
    void ReadPartners();
    void ShowCheck();
    // When the list is not the one last seen: forgets the hand-made choices and indexes the
    // names for the partners.
    void FollowList();

    COpenGLControl& view_;
    MaterialSeam seam_;
    QWidget* window_;
    std::string colour_; // the list text of the image shown
    // The partners' list texts or paths, empty for none, and once read, their textures.
    std::string normalName_;
    std::string specularName_;
    bool read_ = false;
    std::string checked_; // the normal-map check's line, once made
    std::optional<Partner> normal_;
    std::optional<Partner> specular_;
    // Chosen by hand, by colour map, for the list they were made in.
    std::map<std::string, std::map<Role, std::string>> chosen_;
    std::vector<std::string> chosenIn_;
    pictavo::PartnerIndex partners_; // of the list chosenIn_
};
