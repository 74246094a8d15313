#include "view/inspect_bar.h"

#include "cubemap/cube_faces.h"
#include "view/opengl_control.h"

#include <QAction>
#include <QActionGroup>
#include <QComboBox>
#include <QHBoxLayout>
#include <QSignalBlocker>
#include <QToolButton>
#include <array>

namespace {

constexpr int kCubeFaces = int(pictavo::kCubeFaces);

} // namespace

QString LevelLabel(int level, unsigned width, unsigned height) {
    return QStringLiteral("%1: %2 x %3").arg(level).arg(width).arg(height);
}

QString FaceLabel(int face) {
    return QString::fromStdString(pictavo::CubeFaceName(std::uint32_t(face)));
}

InspectBar::InspectBar(COpenGLControl& view, QWidget* parent) : QWidget(parent), view_(view) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(2);
    const auto addButton = [this, row](QAction* action) {
        auto* button = new QToolButton(this);
        button->setDefaultAction(action);
        button->setAutoRaise(true);
        row->addWidget(button);
    };

    auto* modes = new QActionGroup(this);
    plane_ = AddAction("Plane", QKeySequence(Qt::CTRL | Qt::Key_1), "The image on a plane", true);
    cube_ = AddAction("Cube", QKeySequence(Qt::CTRL | Qt::Key_2), "The image on a cube", true);
    flat_ = AddAction("2D", QKeySequence(Qt::CTRL | Qt::Key_3), "Texel for texel", true);
    cross_ = AddAction("Cross", QKeySequence(Qt::CTRL | Qt::Key_4),
                       "A cube map's six faces unfolded", true);
    material_ = AddAction("Material", QKeySequence(Qt::CTRL | Qt::Key_5),
                          "Lit by its normal and specular maps (Shift+drag moves the light)", true);
    for (QAction* mode : {plane_, cube_, flat_, cross_, material_}) {
        modes->addAction(mode);
        addButton(mode);
    }
    connect(plane_, &QAction::triggered, this, [this] { ShowMode(0); });
    connect(cube_, &QAction::triggered, this, [this] { ShowMode(1); });
    connect(flat_, &QAction::triggered, this, [this] { ShowMode(2); });
    connect(cross_, &QAction::triggered, this, [this] { ShowMode(3); });
    connect(material_, &QAction::triggered, this, [this] { ShowMode(4); });
    row->addSpacing(6);

    QAction* fit = AddAction("Fit", QKeySequence(Qt::Key_F), "The whole image in the view", false);
    QAction* actual = AddAction("1:1", QKeySequence(Qt::Key_1), "One texel per pixel", false);
    connect(fit, &QAction::triggered, this, [this] {
        ShowFlat();
        view_.FitToWindow();
    });
    connect(actual, &QAction::triggered, this, [this] {
        ShowFlat();
        view_.ShowActualSize();
    });
    addButton(fit);
    addButton(actual);

    levels_ = new QComboBox(this);
    levels_->setToolTip("Mip level");
    // Wide enough for "12: 4096 x 4096", so the buttons after it stay put from image to image.
    levels_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    levels_->setMinimumContentsLength(15);
    row->addWidget(levels_);
    faces_ = new QComboBox(this);
    faces_->setToolTip("Cube face, shown on the plane, on every side of the cube and in 2D");
    row->addWidget(faces_);
    connect(levels_, &QComboBox::currentIndexChanged, this,
            [this](int level) { view_.SetLevel(level); });
    connect(faces_, &QComboBox::currentIndexChanged, this,
            [this](int face) { view_.SetCubeFace(face); });
    row->addSpacing(6);

    red_ = AddAction("R", QKeySequence(Qt::Key_R), "Red channel", true);
    green_ = AddAction("G", QKeySequence(Qt::Key_G), "Green channel", true);
    blue_ = AddAction("B", QKeySequence(Qt::Key_B), "Blue channel", true);
    alpha_ = AddAction("A", QKeySequence(Qt::Key_A), "Alpha channel, over a checkerboard", true);
    colourWithoutAlpha_ = AddAction("RGB", QKeySequence(Qt::Key_C), "Colour without alpha", true);
    for (QAction* channel : {red_, green_, blue_, alpha_}) {
        connect(channel, &QAction::triggered, this, [this, channel] { ChannelToggled(channel); });
        addButton(channel);
    }
    connect(colourWithoutAlpha_, &QAction::triggered, this, [this] { ShowColourWithoutAlpha(); });
    addButton(colourWithoutAlpha_);
    row->addStretch();

    ImageChanged();
}

QAction* InspectBar::AddAction(const QString& text, const QKeySequence& shortcut,
                               const QString& tip, bool checkable) {
    auto* action = new QAction(text, this);
    action->setShortcut(shortcut);
    action->setToolTip(
        QStringLiteral("%1 (%2)").arg(tip, shortcut.toString(QKeySequence::NativeText)));
    action->setCheckable(checkable);
    addAction(action); // shortcuts work while the bar's window is active
    actions_.append(action);
    return action;
}

QList<QAction*> InspectBar::Actions() const {
    return actions_;
}

void InspectBar::ShowMode(int mode) {
    using enum COpenGLControl::ViewMode;
    constexpr std::array<COpenGLControl::ViewMode, 5> kModes{kPlane, kCube, kFlat, kCross,
                                                             kMaterial};
    view_.SetViewMode(kModes[std::size_t(mode)]);
    SyncChecks();
    if (modeShown_)
        modeShown_();
}

void InspectBar::ShowFlat() {
    if (view_.Mode() != COpenGLControl::ViewMode::kCross) {
        ShowMode(2);
    }
}

void InspectBar::ChannelToggled(QAction* toggled) {
    const Channels channels{red_->isChecked(), green_->isChecked(), blue_->isChecked(),
                            alpha_->isChecked()};
    if (channels == Channels{false, false, false, false}) {
        toggled->setChecked(true); // something stays shown
        return;
    }
    view_.SetChannels(channels);
    SyncChecks();
}

void InspectBar::ShowColourWithoutAlpha() {
    view_.SetChannels(kColourWithoutAlpha);
    SyncChecks();
}

void InspectBar::SyncChecks() {
    const COpenGLControl::ViewMode mode = view_.Mode();
    plane_->setChecked(mode == COpenGLControl::ViewMode::kPlane);
    cube_->setChecked(mode == COpenGLControl::ViewMode::kCube);
    flat_->setChecked(mode == COpenGLControl::ViewMode::kFlat);
    cross_->setChecked(mode == COpenGLControl::ViewMode::kCross);
    material_->setChecked(mode == COpenGLControl::ViewMode::kMaterial);
    const Channels channels = view_.ShownChannels();
    red_->setChecked(channels.red);
    green_->setChecked(channels.green);
    blue_->setChecked(channels.blue);
    alpha_->setChecked(channels.alpha);
    colourWithoutAlpha_->setChecked(channels == kColourWithoutAlpha);
}

void InspectBar::ImageChanged() {
    const QSignalBlocker levelsQuiet(levels_);
    const QSignalBlocker facesQuiet(faces_);
    levels_->clear();
    faces_->clear();
    if (const pictavo::Texture* texture = view_.InspectedTexture()) {
        const pictavo::TextureInfo& info = texture->info;
        for (std::uint32_t level = 0; level < info.levels; ++level) {
            levels_->addItem(
                LevelLabel(int(level), info.LevelWidth(level), info.LevelHeight(level)));
        }
        for (std::uint32_t face = 0; face < info.faces; ++face) {
            faces_->addItem(FaceLabel(int(face)));
        }
    }
    levels_->setCurrentIndex(view_.Level());
    faces_->setCurrentIndex(view_.CubeFace());
    levels_->setEnabled(levels_->count() > 1);
    faces_->setVisible(faces_->count() == kCubeFaces);
    cross_->setEnabled(faces_->count() == kCubeFaces || cross_->isChecked());
    SyncChecks();
}
