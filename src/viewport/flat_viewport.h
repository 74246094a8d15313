#pragma once

#include <cstdint>
#include <optional>

// A position in the view, in pixels from its top-left corner, y growing downward.
struct ViewPoint {
    double x = 0;
    double y = 0;
};

// A texel of the shown level, counted from its top-left corner.
struct TexelPosition {
    std::uint32_t x = 0;
    std::uint32_t y = 0;
    bool operator==(const TexelPosition&) const = default;
};

// Where the shown level lies in the view, in device pixels.
struct DeviceRect {
    double left = 0;
    double top = 0;
    double right = 0;
    double bottom = 0;
};

// Zoom and pan of the 2D view. The view's size and mouse positions come in logical pixels
// (as the window system gives them); the image is placed in device pixels, so that 1:1
// means one texel per pixel of the screen. The zoom counts device pixels per texel of the
// shown level.
class FlatViewport {
public:
    static constexpr double kMostPixelsPerTexel = 256;
    // Zooming out stops once the image's longer side is this many device pixels.
    static constexpr double kFewestImagePixels = 8;

    // The view's size; once it had one, the image point at its centre stays there.
    void SetWindow(double width, double height, double pixelRatio);
    // A new level to show. With `keepScreenSize` the image keeps its width on screen and
    // its top-left corner (another level of the same image); else the zoom stays.
    void SetLevelSize(std::uint32_t width, std::uint32_t height, bool keepScreenSize);

    // The whole image, as large as fits, centred.
    void Fit();
    // One texel per device pixel about the view's centre, texel edges on pixel edges.
    void ShowActualSize();
    // Multiplies the zoom, keeping the image point under the mouse position `anchor` where
    // it is.
    void ZoomAbout(double factor, ViewPoint anchor);
    void ZoomBy(double factor); // about the view's centre
    void Pan(double dx, double dy);

    // The texel drawn in the device pixel under a mouse position; none beyond the image's
    // edges.
    std::optional<TexelPosition> TexelAt(ViewPoint mouse) const;
    DeviceRect ImageRect() const;
    double PixelsPerTexel() const { return scale_; }
    double DeviceWidth() const { return width_; }
    double DeviceHeight() const { return height_; }

private:
    // The centre of the device pixel under a mouse position.
    ViewPoint DevicePixelCentre(ViewPoint mouse) const;
    void ZoomWithinLimits(double factor, ViewPoint device);
    void ZoomAboutDevicePoint(double factor, ViewPoint device);

    double ratio_ = 1;
    double width_ = 0; // device pixels
    double height_ = 0;
    std::uint32_t levelWidth_ = 0;
    std::uint32_t levelHeight_ = 0;
    double scale_ = 1;
    double left_ = 0; // the image's top-left corner, device pixels
    double top_ = 0;
};
