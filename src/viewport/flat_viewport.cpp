#include "viewport/flat_viewport.h"

#include <algorithm>
#include <cmath>

void FlatViewport::SetWindow(double width, double height, double pixelRatio) {
    const double newWidth = std::max(width * pixelRatio, 0.0);
    const double newHeight = std::max(height * pixelRatio, 0.0);
    if (width_ > 0 && height_ > 0) {
        left_ += (newWidth - width_) / 2;
        top_ += (newHeight - height_) / 2;
    }
    ratio_ = pixelRatio;
    width_ = newWidth;
    height_ = newHeight;
}

void FlatViewport::SetLevelSize(std::uint32_t width, std::uint32_t height, bool keepScreenSize) {
    if (keepScreenSize && levelWidth_ != 0 && width != 0) {
        scale_ *= double(levelWidth_) / double(width);
    }
    levelWidth_ = width;
    levelHeight_ = height;
}

void FlatViewport::Fit() {
    if (levelWidth_ == 0 || levelHeight_ == 0 || width_ <= 0 || height_ <= 0) {
        return;
    }
    scale_ = std::min(width_ / levelWidth_, height_ / levelHeight_);
    left_ = (width_ - levelWidth_ * scale_) / 2;
    top_ = (height_ - levelHeight_ * scale_) / 2;
}

void FlatViewport::ShowActualSize() {
    ZoomAboutDevicePoint(1 / scale_, {width_ / 2, height_ / 2});
    // Texels then fall on whole pixels, so nearest sampling at pixel centres is exact.
    left_ = std::round(left_);
    top_ = std::round(top_);
}

void FlatViewport::ZoomAbout(double factor, ViewPoint anchor) {
    // The pointer's own point, not its pixel's centre: zooming by whole factors from 1:1
    // then keeps texel edges on pixel edges.
    ZoomWithinLimits(factor, {anchor.x * ratio_, anchor.y * ratio_});
}

void FlatViewport::ZoomBy(double factor) {
    ZoomWithinLimits(factor, {width_ / 2, height_ / 2});
}

void FlatViewport::ZoomWithinLimits(double factor, ViewPoint device) {
    if (levelWidth_ == 0 || levelHeight_ == 0 || !(factor > 0)) {
        return;
    }
    // Never further out of range than it already is.
    const double smallest = kFewestImagePixels / std::max(levelWidth_, levelHeight_);
    const double wanted = std::clamp(scale_ * factor, std::min(smallest, scale_),
                                     std::max(kMostPixelsPerTexel, scale_));
    ZoomAboutDevicePoint(wanted / scale_, device);
}

void FlatViewport::ZoomAboutDevicePoint(double factor, ViewPoint device) {
    left_ = device.x - (device.x - left_) * factor;
    top_ = device.y - (device.y - top_) * factor;
    scale_ *= factor;
}

void FlatViewport::Pan(double dx, double dy) {
    left_ += dx * ratio_;
    top_ += dy * ratio_;
}

ViewPoint FlatViewport::DevicePixelCentre(ViewPoint mouse) const {
    return {std::floor(mouse.x * ratio_) + 0.5, std::floor(mouse.y * ratio_) + 0.5};
}

std::optional<TexelPosition> FlatViewport::TexelAt(ViewPoint mouse) const {
    const ViewPoint device = DevicePixelCentre(mouse);
    const double u = std::floor((device.x - left_) / scale_);
    const double v = std::floor((device.y - top_) / scale_);
    if (u < 0 || v < 0 || u >= levelWidth_ || v >= levelHeight_) {
        return std::nullopt;
    }
    return TexelPosition{std::uint32_t(u), std::uint32_t(v)};
}

DeviceRect FlatViewport::ImageRect() const {
    return {left_, top_, left_ + levelWidth_ * scale_, top_ + levelHeight_ * scale_};
}
