#include "app/material_feature.h"

#include "app/file_chooser.h"
#include "archive/image_location.h"
#include "material/normal_map.h"
#include "platform/open_filters.h"
#include "texture/decode.h"
#include "texture/texture_reader.h"
#include "view/opengl_control.h"

#include <QAction>
#include <QActionGroup>
#include <QInputDialog>
#include <QMenu>
#include <cstdio>

namespace {

constexpr char kFromFile[] = "(a file...)";

// "12.5 %" of a share 0..1.
std::string Percent(double share) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f %%", share * 100.0);
    return text;
}

} // namespace

MaterialFeature::MaterialFeature(COpenGLControl& view, MaterialSeam seam, QWidget* window)
    : QObject(window), view_(view), seam_(std::move(seam)), window_(window) {}

void MaterialFeature::AddActions(QMenu& menu) {
    QMenu* material = menu.addMenu("M&aterial");
    connect(material->addAction("&Normal Map..."), &QAction::triggered, this,
            &MaterialFeature::ChooseNormalMap);
    connect(material->addAction("&Specular Map..."), &QAction::triggered, this,
            &MaterialFeature::ChooseSpecularMap);
    material->addSeparator();

    // Each choice switches to the material mode, where it shows.
    const auto toggle = [this, material](const char* text, const QKeySequence& key, bool& flag) {
        QAction* action = material->addAction(text);
        action->setCheckable(true);
        action->setShortcut(key);
        connect(action, &QAction::toggled, this, [this, &flag](bool on) {
            flag = on;
            Hand();
        });
        return action;
    };
    MaterialSettings& settings = view_.Material();
    toggle("&Flip Green", QKeySequence("Ctrl+Shift+G"), settings.flipGreen);
    toggle("Mark &Off Normals", QKeySequence("Ctrl+Shift+N"), settings.markOffNormals);
    material->addSeparator();

    // One of a group of choices, each setting one of the settings' fields.
    const auto choice = [this, material](QActionGroup* group, const char* text,
                                         const QKeySequence& key, auto MaterialSettings::*field,
                                         auto value) {
        QAction* action = material->addAction(text);
        action->setCheckable(true);
        action->setShortcut(key);
        action->setChecked(view_.Material().*field == value);
        group->addAction(action);
        connect(action, &QAction::triggered, this, [this, field, value] {
            view_.Material().*field = value;
            Hand();
        });
    };
    auto* shows = new QActionGroup(material);
    choice(shows, "&Lit", QKeySequence("Ctrl+Shift+L"), &MaterialSettings::show,
           pictavo::MaterialShow::kLit);
    choice(shows, "Normals as &Colours", QKeySequence("Ctrl+Shift+C"), &MaterialSettings::show,
           pictavo::MaterialShow::kNormals);
    choice(shows, "Specular and &Gloss Alone", QKeySequence("Ctrl+Shift+S"),
           &MaterialSettings::show, pictavo::MaterialShow::kSpecular);
    material->addSeparator();

    auto* shapes = new QActionGroup(material);
    choice(shapes, "On a &Plane", QKeySequence(), &MaterialSettings::shape, MaterialShape::kPlane);
    choice(shapes, "On a C&ube", QKeySequence(), &MaterialSettings::shape, MaterialShape::kCube);
    choice(shapes, "On a Sp&here", QKeySequence(), &MaterialSettings::shape,
           MaterialShape::kSphere);
}

void MaterialFeature::Hand() {
    if (view_.Mode() != COpenGLControl::ViewMode::kMaterial) {
        view_.SetViewMode(COpenGLControl::ViewMode::kMaterial);
        seam_.showMode();
    }
    ModeShown();
}

void MaterialFeature::ShowCheck() {
    if (!normal_) {
        seam_.showStatus("No normal map: the colour map is lit as a flat surface");
        return;
    }
    if (!checked_.empty()) {
        seam_.showStatus(checked_);
        return;
    }
    pictavo::RgbaImage image;
    if (!pictavo::DecodeImage(*normal_->texture, 0, 0, image)) {
        seam_.showStatus("The normal map could not be decoded: " + normal_->name);
        return;
    }
    const pictavo::NormalLayout layout = pictavo::DetectNormalLayout(image);
    const pictavo::NormalCheck check = pictavo::CheckNormalMap(image, layout);
    // The same until another normal map is read: the checks' toggles give it again at once.
    checked_ = "Normal map " + normal_->name + ": " +
               (layout == pictavo::NormalLayout::kAlphaGreen ? "X in alpha, Y in green"
                                                             : "X, Y, Z in red, green, blue") +
               "; " + Percent(check.Share()) + " of texels off";
    seam_.showStatus(checked_);
}

void MaterialFeature::FollowList() {
    const std::vector<std::string>& names = view_.Loader().fileNames;
    if (names != chosenIn_) {
        chosen_.clear();
        chosenIn_ = names;
        partners_ = pictavo::PartnerIndex(names);
    }
}

std::optional<MaterialFeature::Partner> MaterialFeature::ReadPartner(const std::string& text) {
    VarnelLoader& loader = view_.Loader();
    auto texture = std::make_shared<pictavo::Texture>();
    pictavo::TextureError error = pictavo::TextureError::kNone;
    if (const pictavo::ListedImage* listed = loader.FindListed(text)) {
        std::vector<std::uint8_t> bytes;
        if (const pictavo::Status read = pictavo::ReadImageBytes(listed->where, bytes); !read) {
            seam_.showStatus(read.error().text);
            return std::nullopt;
        }
        error = pictavo::ReadTexture(bytes, *texture);
    } else {
        error = pictavo::ReadTexture(text, *texture);
    }
    if (error != pictavo::TextureError::kNone) {
        seam_.showStatus(std::string(pictavo::ErrorText(error)) + ": " + text);
        return std::nullopt;
    }
    return Partner{text, std::move(texture)};
}

void MaterialFeature::ImageChanged() {
    FollowList();
    const VarnelLoader& loader = view_.Loader();
    const pictavo::ImageLocation* where = loader.ShownLocation();
    normal_.reset();
    specular_.reset();
    normalName_.clear();
    specularName_.clear();
    colour_.clear();
    read_ = false;
    if (loader.ShownTexture() && where != nullptr) {
        // The list's text of the entry shown: its partners stand in the same list.
        colour_ = where->name;
        for (const std::string& name : loader.fileNames) {
            if (loader.IsShown(name)) {
                colour_ = name;
                break;
            }
        }
        const pictavo::MaterialPartners found = partners_.Find(colour_);
        const std::map<Role, std::string>& hand = chosen_[colour_];
        const auto name = [&](Role role, const std::optional<std::size_t>& index) {
            if (const auto chosen = hand.find(role); chosen != hand.end()) {
                return chosen->second;
            }
            return index ? loader.fileNames[*index] : std::string();
        };
        normalName_ = name(Role::kNormal, found.normal);
        specularName_ = name(Role::kSpecular, found.specular);
    }
    view_.SetMaterialMaps(nullptr, nullptr);
    ModeShown();
}

void MaterialFeature::ModeShown() {
    if (view_.Mode() != COpenGLControl::ViewMode::kMaterial || colour_.empty()) {
        return;
    }
    ReadPartners();
    ShowCheck();
}

void MaterialFeature::ReadPartners() {
    if (read_) {
        return;
    }
    read_ = true;
    checked_.clear();
    normal_ = normalName_.empty() ? std::nullopt : ReadPartner(normalName_);
    specular_ = specularName_.empty() ? std::nullopt : ReadPartner(specularName_);
    view_.SetMaterialMaps(normal_ ? normal_->texture : nullptr,
                          specular_ ? specular_->texture : nullptr);
}

std::string MaterialFeature::InfoText() const {
    std::string text;
    if (!normalName_.empty()) {
        text += "Normal map: " + normalName_ + "\n";
    }
    if (!specularName_.empty()) {
        text += "Specular map: " + specularName_ + "\n";
    }
    return text;
}

void MaterialFeature::ChooseNormalMap() {
    Choose(Role::kNormal);
}

void MaterialFeature::ChooseSpecularMap() {
    Choose(Role::kSpecular);
}

void MaterialFeature::Choose(Role role) {
    if (colour_.empty()) {
        return;
    }
    FollowList();
    QStringList items{kFromFile};
    for (const std::string& name : view_.Loader().fileNames) {
        items << QString::fromStdString(name);
    }
    const char* title = role == Role::kNormal ? "Normal Map" : "Specular Map";
    bool ok = false;
    const QString item = QInputDialog::getItem(
        window_, title, QString::fromStdString("For " + colour_ + ":"), items, 0, false, &ok);
    if (!ok) {
        return;
    }
    std::string chosen = item.toStdString();
    if (chosen == kFromFile) {
        const std::vector<std::string> paths =
            FileChooser::Current().ChooseFilesToOpen(window_, title, pictavo::OpenFileFilter());
        if (paths.empty()) {
            return;
        }
        chosen = paths.front();
    }
    std::optional<Partner> partner = ReadPartner(chosen);
    if (!partner) {
        return;
    }
    chosen_[colour_][role] = chosen;
    ReadPartners(); // the other partner, when not read yet
    (role == Role::kNormal ? normalName_ : specularName_) = chosen;
    (role == Role::kNormal ? normal_ : specular_) = std::move(partner);
    checked_.clear();
    view_.SetMaterialMaps(normal_ ? normal_->texture : nullptr,
                          specular_ ? specular_->texture : nullptr);
    seam_.showInfo();
    Hand();
}
