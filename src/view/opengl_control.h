#pragma once

#include "cubemap/cube_map_texture.h"
#include "imagelist/varnel_loader.h"
#include "view/channel_view.h"
#include "view/colorref.h"
#include "view/emboss.h"
#include "view/flat_image.h"
#include "view/frame_counter.h"
#include "view/material_renderer.h"
#include "view/material_settings.h"
#include "view/texel_readout.h"
#include "view/view_camera.h"
#include "viewport/flat_viewport.h"

#include <QOpenGLWidget>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

// The view of the current image: on each tick of its 15 ms frame timer it draws the image on
// a plane or a cube, optionally embossed with its normal map, under a text overlay with the
// frame rate. The mouse rotates (left button) and zooms (right button). It owns the
// program's one image list and image object.
//
// Beside the plane and the cube, a 2D mode inspects the colour image as read: one level and
// face, texel for texel, in chosen channels, over a checkerboard where alpha lets it through.
// The wheel zooms about the cursor and a left drag pans; a listener hears of the texel under
// the cursor. Before a file is loaded it shows the start-up picture.
//
// The context comes with the first show of the window that holds the control (a context
// made earlier never reaches the screen); InitGL runs then. SetVsync and UploadDefaultImage
// called before take effect at that point. OpenGL work needs this control's context
// current; every public operation here makes it current itself. Call into the loader's
// uploading operations through LoadSelected and ExportConverted, or after any of them.
class COpenGLControl : public QOpenGLWidget {
public:
    static constexpr int kFrameTimerId = 1;
    static constexpr int kFramePeriodMs = 15;
    static constexpr unsigned int kFontListBase = 1000;
    static constexpr int kFontListCount = 255;
    // Exit status when the context lacks a required extension: a failure, never success.
    static constexpr int kMissingExtensionsExitCode = 1;
    // Seconds on the clock the frame rate is measured by.
    using FrameClock = std::function<float()>;
    // Plane and cube are the 3D modes; the cube setting (new_3DCubeView) tells them apart.
    // The cross is the 2D mode with a cube map's six faces unfolded; other images show in it
    // as in 2D.
    // The material mode lights the colour map by its normal and specular maps on a plane, a
    // cube or a sphere, with a camera of its own; Shift with a left drag moves the light.
    enum class ViewMode { kPlane, kCube, kFlat, kCross, kMaterial };
    // Hears of each change of the texel under the cursor in 2D mode; nullopt once the cursor
    // is off the image or the mode is left.
    using TexelListener = std::function<void(const std::optional<TexelReadout>&)>;

    explicit COpenGLControl(QWidget* parent = nullptr);
    ~COpenGLControl() override;
    COpenGLControl(const COpenGLControl&) = delete;
    COpenGLControl& operator=(const COpenGLControl&) = delete;

    // Places the control, visible, over `rect` of `parent`. When the context is made, a
    // missing required extension ends the process after a message.
    void Create(const QRect& rect, QWidget* parent);
    // Draws one frame every 15 ms from now on.
    void StartFrameTimer();
    // 1 waits for the vertical blank, 0 does not; nothing when the platform cannot say.
    void SetVsync(std::uint8_t value);
    // Shows the built-in start-up picture as the colour texture. Returns 22.
    int UploadDefaultImage();
    // Multiplies the model-view matrix by the current image's proportions. Frames rebuild the
    // matrix and scale it themselves, so after a load this only prepares the next frame.
    void ApplyAspectScale();
    void UpdateClearColor();
    void UpdateTextColor();

    VarnelLoader& Loader();
    void LoadSelected();
    void ExportConverted();

    void OnTimer(int id);
    // Replaces the frame rate's clock, which by default counts from the control's making.
    void SetFrameClock(FrameClock clock);
    // Viewport and perspective for a drawing area of cx by cy device pixels.
    void OnSize(int cx, int cy);
    void OnMouseMove(MouseButtons buttons, float x, float y);

    // The camera of the mode shown: the plane and the cube each keep their own turn and
    // distance.
    const ViewCamera& Camera() const;
    const FrameCounter& Counter() const;

    // The 2D mode's inspection. Plane and cube set new_3DCubeView as the settings do.
    void SetViewMode(ViewMode mode);
    ViewMode Mode() const;
    void FitToWindow();
    // One texel per device pixel.
    void ShowActualSize();
    // Multiplies the zoom about the view's centre.
    void ZoomBy(double factor);
    // Another level or face keeps the image's size on screen. Out-of-range values are
    // brought into range. The level and face chosen show in every mode: in 2D, on the plane,
    // and on every side of the cube (a cube map's own cube shows level 0 of its six faces).
    void SetLevel(int level);
    void SetCubeFace(int face);
    int Level() const;
    int CubeFace() const;
    void SetChannels(Channels channels);
    Channels ShownChannels() const;
    void SetTexelListener(TexelListener listener);
    // The texture the 2D mode inspects (the start-up picture before a file is loaded); null
    // when the last load failed.
    const pictavo::Texture* InspectedTexture() const;
    // Takes the image on display after a load through Loader(): keeps the level and face in
    // range, shows that face in every mode, and fits it to the window. LoadSelected and
    // UploadDefaultImage call it.
    void ImageChanged();
    // Reads the image on display again, keeping the mode, level, face, channels, zoom, pan
    // and the camera.
    void ReloadShown();
    // The material mode's choices, read at every frame.
    MaterialSettings& Material();
    // The partners the material mode lights the colour map with; null for none.
    void SetMaterialMaps(std::shared_ptr<const pictavo::Texture> normal,
                         std::shared_ptr<const pictavo::Texture> specular);
    // One frame as the view shows it, without the text over it, top row first.
    pictavo::RgbaImage ReadFrame();
    // Where the 2D mode places the image.
    const FlatViewport& Viewport() const;
    // The 2D mode's texture in this control's context, 0 before its first frame: the level
    // as decoded, whatever the channels shown.
    unsigned int FlatTexture() const;

protected:
    void initializeGL() override;
    void resizeGL(int width, int height) override;
    void paintGL() override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    // Empties the process's OpenGL tables when the control that filled them goes, after the
    // loader has deleted its textures, so nothing calls into a destroyed context.
    class ContextTables {
    public:
        ContextTables() = default;
        ContextTables(const ContextTables&) = delete;
        ContextTables& operator=(const ContextTables&) = delete;
        ~ContextTables();
        void MarkFilled() { filled_ = true; }

    private:
        bool filled_ = false;
    };

    bool MakeContextCurrent();
    void InitGL();
    bool LoadExtensions();
    [[noreturn]] void ReportMissingExtensions();
    void SetClearColour();
    void UploadStartupTexture();

    // After a load that failed, nothing of the image before stays in sight.
    bool ShowsNothing() const;
    ViewCamera& ActiveCamera();
    void DrawScene();
    void DrawMaterial();
    // Shift with a left drag turns the light about the view's axis and raises it.
    bool MoveLight(const QMouseEvent& event);
    void DrawEmbossPass(const LightVector& light);
    void DrawColourPass();
    void DrawPlane();
    void DrawCube();
    // A cube map with each face on its own side; other images as DrawCube draws them.
    void DrawCubeMap();
    void ScaleToImage();

    void DrawFlat();
    void DrawFlatPiece(const DeviceRect& rect, const DeviceRect& texels, bool translucent);
    void UploadFlatTexture();
    void UploadCheckerboard();
    // The start-up picture or the colour image as read.
    std::shared_ptr<const pictavo::Texture> TextureOnDisplay() const;
    void InspectTexture(bool fit);
    void SelectLevelAndFace(int level, int face);
    // Puts the face the 2D mode shows on the plane and cube too.
    void ShowChosenFace();
    void UpdateFlatWindow();
    void FlatMouseMove(const QMouseEvent& event);
    void UpdateReadout();
    void DeleteFlatTextures();

    void BeginOverlay();
    void DrawOverlay();
    void EndOverlay();
    // Draws `text` at (x, y), shifted by (dx, dy) device pixels.
    void PrintLine(int x, int y, int dx, int dy, const char* text);

    ContextTables tables_; // declared before the loader, so it outlives the loader
    VarnelLoader loader_;
    ViewCamera planeCamera_;
    ViewCamera cubeCamera_;
    ViewCamera materialCamera_;
    RgbColour textColour_{0, 0, 1.0f};
    bool frameInProgress_ = false;
    // Asked for before the context existed.
    bool startupTexturePending_ = false;
    std::optional<std::uint8_t> pendingVsync_;
    FrameCounter frameCounter_;
    FrameClock frameClock_;
    QTimer frameTimer_;

    bool flat_ = false;
    bool cross_ = false;
    FlatViewport viewport_;
    bool fitted_ = true; // refits when the window's size changes
    FlatImage flatImage_;
    Channels channels_;
    // The 2D mode's own textures, made in this control's context.
    unsigned int flatTexture_ = 0;
    unsigned int checkerTexture_ = 0;
    bool flatTextureStale_ = true;
    std::uint8_t flatLowestAlpha_ = 0xFF;
    bool flatEmpty_ = true;
    std::optional<ViewPoint> flatMouse_; // logical pixels, while over the view
    TexelListener texelListener_;
    std::optional<TexelReadout> readout_;

    bool material_ = false;
    MaterialSettings materialSettings_;
    MaterialRenderer materialRenderer_;
    std::shared_ptr<const pictavo::Texture> normalMap_;
    std::shared_ptr<const pictavo::Texture> specularMap_;

    // The cube map on the cube, made from the texture it was last made from.
    pictavo::CubeMapTexture cubeMap_;
    std::shared_ptr<const pictavo::Texture> cubeMapSource_;
};
