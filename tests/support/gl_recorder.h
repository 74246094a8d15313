#pragma once

#include "image/gl_api.h"

#include <cstdint>
#include <string>
#include <vector>

namespace pictavo::testing {

// One OpenGL call as the upload made it: its name, its numeric arguments in order, and for
// uploads a copy of the pixel data.
struct GlCall {
    std::string name;
    std::vector<double> args;
    std::vector<std::uint8_t> data;
};

// Puts recording functions into the process's OpenGL table for its lifetime. New texture
// names count up from 1.
class GlRecorder {
public:
    GlRecorder();
    GlRecorder(const GlRecorder&) = delete;
    GlRecorder& operator=(const GlRecorder&) = delete;
    ~GlRecorder();

    const std::vector<GlCall>& Calls() const;
    std::vector<GlCall> CallsNamed(const std::string& name) const;
    void Clear();

private:
    gl::EntryPoints saved_;
};

} // namespace pictavo::testing
