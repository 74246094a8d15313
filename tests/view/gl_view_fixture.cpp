#include "gl_view_fixture.h"

#include <QOffscreenSurface>
#include <QTest>
#include <QtGui/qopengl.h>
#include <cmath>
#include <cstdlib>
#include <numbers>

namespace pictavo::testing {

Frame::Frame(int width, int height, const std::vector<std::uint8_t>& bottomUpRgba)
    : width_(width), height_(height), pixels_(std::size_t(width) * height) {
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* row = bottomUpRgba.data() + std::size_t(height - 1 - y) * width * 4;
        for (int x = 0; x < width; ++x) {
            const std::uint8_t* pixel = row + std::size_t(x) * 4;
            pixels_[std::size_t(y) * width + x] = {pixel[0], pixel[1], pixel[2]};
        }
    }
}

Rgb Frame::At(int x, int y) const {
    return pixels_[std::size_t(y) * width_ + x];
}

bool Near(Rgb a, Rgb b, int tolerance) {
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance &&
           std::abs(a.b - b.b) <= tolerance;
}

int Frame::CountDifferences(const Frame& other, int tolerance, int top) const {
    int count = 0;
    for (std::size_t i = std::size_t(top) * width_; i < pixels_.size(); ++i) {
        count += !Near(pixels_[i], other.pixels_[i], tolerance);
    }
    return count;
}

int Frame::Count(const std::function<bool(Rgb)>& test, int top, int bottom) const {
    int count = 0;
    for (int y = std::max(top, 0); y < (bottom < 0 ? height_ : std::min(bottom, height_)); ++y) {
        for (int x = 0; x < width_; ++x) {
            count += test(At(x, y));
        }
    }
    return count;
}

int Frame::CountInRow(int y, const std::function<bool(Rgb)>& test) const {
    int count = 0;
    for (int x = 0; x < width_; ++x) {
        count += test(At(x, y));
    }
    return count;
}

int Frame::CountInColumn(int x, const std::function<bool(Rgb)>& test, int top) const {
    int count = 0;
    for (int y = top; y < height_; ++y) {
        count += test(At(x, y));
    }
    return count;
}

void ViewTest::SetUp() {
    if (!OpenGlDisplayAvailable()) {
        GTEST_SKIP() << "needs a display with OpenGL; run the view tests under xvfb-run";
    }
    saved_ = theSettings;
    theSettings = AppSettings{};
    window_ = std::make_unique<QWidget>();
    window_->resize(kSize, kSize);
    control_ = new COpenGLControl;
    control_->SetFrameClock([this] { return frameClockSeconds_; });
    control_->Create(QRect(0, 0, kSize, kSize), window_.get());
    window_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
    // As the main dialog does once the control exists.
    control_->SetVsync(theSettings.Vsync);
    control_->UpdateTextColor();
    ASSERT_EQ(control_->UploadDefaultImage(), IWI_OK);
    control_->ApplyAspectScale();
}

void ViewTest::TearDown() {
    if (!OpenGlDisplayAvailable()) {
        return;
    }
    DestroyControl();
    theSettings = saved_;
}

void ViewTest::DestroyControl() {
    window_.reset();
    control_ = nullptr;
}

Frame ViewTest::DrawFrame() {
    control_->OnTimer(COpenGLControl::kFrameTimerId);
    return ReadFrame();
}

Frame ViewTest::ReadFrame() {
    control_->makeCurrent();
    const qreal ratio = control_->devicePixelRatioF();
    const int width = qRound(control_->width() * ratio);
    const int height = qRound(control_->height() * ratio);
    std::vector<std::uint8_t> rgba(std::size_t(width) * height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    return Frame(width, height, rgba);
}

void ViewTest::UploadRgba(int width, int height, const std::vector<std::uint8_t>& pixels,
                          TextureSlot slot) {
    VarnelLoader& image = control_->Loader();
    image.IWIHeader.format = IWI_FMT_RGBA8;
    image.width = static_cast<std::int16_t>(width);
    image.height = static_cast<std::int16_t>(height);
    image.levelCount = 1;
    image.levels = {pixels};
    image.targetSlot = slot;
    control_->makeCurrent();
    ASSERT_EQ(image.LoadToOpenGL(), IWI_OK);
}

void ViewTest::UploadSolid(int width, int height, Rgb colour, int alpha, TextureSlot slot) {
    std::vector<std::uint8_t> pixels;
    pixels.reserve(std::size_t(width) * height * 4);
    for (int i = 0; i < width * height; ++i) {
        pixels.insert(pixels.end(), {std::uint8_t(colour.r), std::uint8_t(colour.g),
                                     std::uint8_t(colour.b), std::uint8_t(alpha)});
    }
    UploadRgba(width, height, pixels, slot);
}

std::pair<int, int> ViewTest::PlanePixel(float x, float y) {
    // Five units away, a 45-degree view spans 5 tan(22.5) units either side of the centre.
    const double halfExtent = 5.0 * std::tan(std::numbers::pi / 8);
    const double ndcX = x / halfExtent;
    const double ndcY = y / halfExtent;
    return {int(std::floor((ndcX + 1) / 2 * kSize)), int(std::floor((1 - ndcY) / 2 * kSize))};
}

} // namespace pictavo::testing
