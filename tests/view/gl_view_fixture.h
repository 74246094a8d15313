#pragma once

#include "gl_display.h"
#include "settings/app_settings.h"
#include "view/opengl_control.h"

#include <QWidget>
#include <cstdint>
#include <functional>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace pictavo::testing {

struct Rgb {
    int r = 0;
    int g = 0;
    int b = 0;
};

// A frame read back from the control's framebuffer, top row first.
class Frame {
public:
    Frame(int width, int height, const std::vector<std::uint8_t>& bottomUpRgba);

    int Width() const { return width_; }
    int Height() const { return height_; }
    Rgb At(int x, int y) const;
    // Pixels where some channel differs from `other` by more than `tolerance`, from row
    // `top` down.
    int CountDifferences(const Frame& other, int tolerance, int top = 0) const;
    // Pixels for which `test` holds, within rows [top, bottom).
    int Count(const std::function<bool(Rgb)>& test, int top = 0, int bottom = -1) const;
    // How many pixels of row y, or of column x from row `top` down, `test` holds for.
    int CountInRow(int y, const std::function<bool(Rgb)>& test) const;
    int CountInColumn(int x, const std::function<bool(Rgb)>& test, int top = 0) const;

private:
    int width_;
    int height_;
    std::vector<Rgb> pixels_;
};

bool Near(Rgb a, Rgb b, int tolerance);

// A control of 400 x 400 pixels in a shown window, started as the main dialog starts it
// (text colour, start-up picture, aspect scale), with default settings.
class ViewTest : public ::testing::Test {
protected:
    static constexpr int kSize = 400;
    static constexpr Rgb kDefaultBackground{160, 160, 164};
    // The first row below the overlay's text, whatever lines it shows.
    static constexpr int kBelowOverlay = 64;

    void SetUp() override;
    void TearDown() override;

    COpenGLControl& Control() { return *control_; }
    QWidget& Window() { return *window_; }
    // Destroys the window and the control in it.
    void DestroyControl();

    // The frame rate's clock moves only here, so every frame shows the same figure until a
    // test moves it.
    void AdvanceFrameClock(float seconds) { frameClockSeconds_ += seconds; }

    // One tick of the frame timer, then the frame as drawn.
    Frame DrawFrame();
    Frame ReadFrame();

    // Uploads an RGBA8 image through the image object's own upload.
    void UploadRgba(int width, int height, const std::vector<std::uint8_t>& pixels,
                    TextureSlot slot);
    void UploadSolid(int width, int height, Rgb colour, int alpha, TextureSlot slot);

    // The pixel where a point of the unscaled plane (z = 0) shows with the camera untouched.
    static std::pair<int, int> PlanePixel(float x, float y);

private:
    AppSettings saved_;
    std::unique_ptr<QWidget> window_;
    COpenGLControl* control_ = nullptr;
    float frameClockSeconds_ = 0;
};

} // namespace pictavo::testing
