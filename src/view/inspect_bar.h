#pragma once

#include <QList>
#include <QWidget>
#include <functional>

class COpenGLControl;
class QAction;
class QComboBox;

// One row of controls for the view's inspection: Plane, Cube, 2D, for cube maps Cross, and
// Material; Fit and 1:1; the mip level and cube face shown; the channels R, G, B, A and RGB without
// alpha. Fit and 1:1 switch to the 2D mode unless the cross is shown; the level chosen
// shows in every mode, and so does the face but on the cube and in the cross, which show all
// six.
// Every button is an action with a shortcut, which a menu may list too.
class InspectBar : public QWidget {
public:
    explicit InspectBar(COpenGLControl& view, QWidget* parent = nullptr);

    // Fills the level and face choices for the image now shown; call after each load.
    void ImageChanged();
    QList<QAction*> Actions() const;
    // Told after a mode button or its shortcut changed the view's mode.
    void OnModeShown(std::function<void()> listener) { modeShown_ = std::move(listener); }

private:
    QAction* AddAction(const QString& text, const QKeySequence& shortcut, const QString& tip,
                       bool checkable);
    void ShowMode(int mode);
    // 2D, unless the view shows the cross already.
    void ShowFlat();
    void ChannelToggled(QAction* toggled);
    void ShowColourWithoutAlpha();
    void SyncChecks();

    COpenGLControl& view_;
    QList<QAction*> actions_;
    QAction* plane_ = nullptr;
    QAction* cube_ = nullptr;
    QAction* flat_ = nullptr;
    QAction* cross_ = nullptr;
    QAction* material_ = nullptr;
    QAction* red_ = nullptr;
    QAction* green_ = nullptr;
    QAction* blue_ = nullptr;
    QAction* alpha_ = nullptr;
    QAction* colourWithoutAlpha_ = nullptr;
    QComboBox* levels_ = nullptr;
    QComboBox* faces_ = nullptr;
    std::function<void()> modeShown_;
};

// The level choice's entries, "0: 2048 x 2048", and the face choice's: DDS and IWI files
// both store cube faces as +X, -X, +Y, -Y, +Z, -Z.
QString LevelLabel(int level, unsigned width, unsigned height);
QString FaceLabel(int face);
