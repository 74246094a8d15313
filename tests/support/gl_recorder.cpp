#include "gl_recorder.h"

#include <algorithm>

namespace pictavo::testing {

namespace {

std::vector<GlCall> calls;
gl::UInt nextTexture = 1;

void Record(const char* name, std::vector<double> args, const void* data = nullptr,
            std::size_t size = 0) {
    GlCall call{name, std::move(args), {}};
    if (data != nullptr) {
        const auto* bytes = static_cast<const std::uint8_t*>(data);
        call.data.assign(bytes, bytes + size);
    }
    calls.push_back(std::move(call));
}

void PICTAVO_GLAPI GenTextures(gl::SizeI n, gl::UInt* textures) {
    for (gl::SizeI i = 0; i < n; ++i) {
        textures[i] = nextTexture++;
        Record("glGenTextures", {static_cast<double>(textures[i])});
    }
}

void PICTAVO_GLAPI DeleteTextures(gl::SizeI n, const gl::UInt* textures) {
    for (gl::SizeI i = 0; i < n; ++i) {
        Record("glDeleteTextures", {static_cast<double>(textures[i])});
    }
}

void PICTAVO_GLAPI BindTexture(gl::Enum target, gl::UInt texture) {
    Record("glBindTexture", {static_cast<double>(target), static_cast<double>(texture)});
}

void PICTAVO_GLAPI TexParameteri(gl::Enum target, gl::Enum name, gl::Int value) {
    Record("glTexParameteri",
           {static_cast<double>(target), static_cast<double>(name), static_cast<double>(value)});
}

void PICTAVO_GLAPI TexParameterfv(gl::Enum target, gl::Enum name, const gl::Float* values) {
    Record("glTexParameterfv", {static_cast<double>(target), static_cast<double>(name), values[0],
                                values[1], values[2], values[3]});
}

void PICTAVO_GLAPI PixelTransferf(gl::Enum name, gl::Float value) {
    Record("glPixelTransferf", {static_cast<double>(name), value});
}

void PICTAVO_GLAPI PixelStorei(gl::Enum name, gl::Int value) {
    Record("glPixelStorei", {static_cast<double>(name), static_cast<double>(value)});
}

void PICTAVO_GLAPI TexImage2D(gl::Enum target, gl::Int level, gl::Int internalFormat,
                              gl::SizeI width, gl::SizeI height, gl::Int border, gl::Enum format,
                              gl::Enum type, const void* pixels) {
    const std::size_t pixelSize = format == gl::kRGBA ? 4 : 3;
    Record("glTexImage2D",
           {static_cast<double>(target), static_cast<double>(level),
            static_cast<double>(internalFormat), static_cast<double>(width),
            static_cast<double>(height), static_cast<double>(border), static_cast<double>(format),
            static_cast<double>(type)},
           pixels, static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * pixelSize);
}

void PICTAVO_GLAPI CompressedTexImage2DARB(gl::Enum target, gl::Int level, gl::Enum internalFormat,
                                           gl::SizeI width, gl::SizeI height, gl::Int border,
                                           gl::SizeI imageSize, const void* data) {
    Record("glCompressedTexImage2DARB",
           {static_cast<double>(target), static_cast<double>(level),
            static_cast<double>(internalFormat), static_cast<double>(width),
            static_cast<double>(height), static_cast<double>(border),
            static_cast<double>(imageSize)},
           data, static_cast<std::size_t>(imageSize));
}

} // namespace

GlRecorder::GlRecorder() : saved_(gl::Api()) {
    calls.clear();
    nextTexture = 1;
    gl::EntryPoints& api = gl::Api();
    api.GenTextures = GenTextures;
    api.DeleteTextures = DeleteTextures;
    api.BindTexture = BindTexture;
    api.TexParameteri = TexParameteri;
    api.TexParameterfv = TexParameterfv;
    api.PixelTransferf = PixelTransferf;
    api.PixelStorei = PixelStorei;
    api.TexImage2D = TexImage2D;
    api.CompressedTexImage2DARB = CompressedTexImage2DARB;
}

GlRecorder::~GlRecorder() {
    gl::Api() = saved_;
}

const std::vector<GlCall>& GlRecorder::Calls() const {
    return calls;
}

std::vector<GlCall> GlRecorder::CallsNamed(const std::string& name) const {
    std::vector<GlCall> named;
    std::copy_if(calls.begin(), calls.end(), std::back_inserter(named),
                 [&](const GlCall& call) { return call.name == name; });
    return named;
}

void GlRecorder::Clear() {
    calls.clear();
}

} // namespace pictavo::testing
