#pragma once

struct MouseButtons {
    bool left = false;
    bool right = false;
};

// Angles beyond a full turn either way start again from 0.
float WrapRotation(float degrees);

// Distance and angles of the image, driven by mouse moves: the left button rotates, the
// right button zooms when zooming is enabled. Nothing is ever reset.
class ViewCamera {
public:
    void MouseMove(MouseButtons buttons, float x, float y, bool zoomEnabled);

    float distance = 5.0f;
    float rotationX = 0; // degrees about the x axis
    float rotationY = 0; // degrees about the y axis

private:
    // The first move has no previous position, so it only records its own.
    bool hasLastPosition_ = false;
    float lastX_ = 0;
    float lastY_ = 0;
};
