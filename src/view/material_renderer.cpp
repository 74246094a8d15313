#include "view/material_renderer.h"

#include "texture/decode.h"
#include "view/material_mesh.h"

#include <algorithm>
#include <cstddef>
#include <cstdlib>

namespace {

// The formula of pictavo::ShadeTexel, texel for texel; the normal map comes packed
// (pictavo::PackNormals), its alpha 0 where the texel is off.
constexpr char kVertexShader[] = R"(#version 330 core
layout(location = 0) in vec3 position;
layout(location = 1) in vec2 uv;
layout(location = 2) in vec3 tangent;
layout(location = 3) in vec3 bitangent;
layout(location = 4) in vec3 normal;
uniform mat4 projection;
uniform mat4 modelView;
out vec2 texel;
out vec3 right;
out vec3 up;
out vec3 outward;
void main() {
    mat3 turn = mat3(modelView);
    right = turn * tangent;
    up = turn * bitangent;
    outward = turn * normal;
    texel = uv;
    gl_Position = projection * modelView * vec4(position, 1.0);
}
)";

constexpr char kFragmentShader[] = R"(#version 330 core
in vec2 texel;
in vec3 right;
in vec3 up;
in vec3 outward;
uniform sampler2D colourMap;
uniform sampler2D normalMap;
uniform sampler2D specularMap;
uniform bool hasNormal;
uniform bool hasSpecular;
uniform bool flipGreen;
uniform bool markOff;
uniform int show;
uniform vec3 toLight;
uniform float ambient;
uniform float diffuse;
uniform float leastPower;
uniform float powerRange;
uniform vec3 plainSpecular;
uniform float plainGloss;
out vec4 colour;
void main() {
    vec4 base = texture(colourMap, texel);
    vec4 stored = hasNormal ? texture(normalMap, texel) : vec4(0.5, 0.5, 1.0, 1.0);
    vec3 m = stored.rgb * 2.0 - 1.0;
    if (flipGreen) m.y = -m.y;
    m = normalize(m);
    if (show == 1) {
        colour = vec4(m * 0.5 + 0.5, 1.0);
        return;
    }
    vec3 n = normalize(normalize(right) * m.x + normalize(up) * m.y + normalize(outward) * m.z);
    vec3 l = normalize(toLight);
    vec3 v = vec3(0.0, 0.0, 1.0);
    vec4 specularGloss = hasSpecular ? texture(specularMap, texel) : vec4(plainSpecular, plainGloss);
    float lambert = max(dot(n, l), 0.0);
    vec3 h = normalize(l + v);
    float power = exp2(leastPower + powerRange * clamp(specularGloss.a, 0.0, 1.0));
    float highlight = lambert > 0.0 ? pow(max(dot(n, h), 0.0), power) : 0.0;
    vec3 shaded = show == 2 ? specularGloss.rgb * highlight
                            : base.rgb * (ambient + diffuse * lambert) + specularGloss.rgb * highlight;
    shaded = clamp(shaded, 0.0, 1.0);
    if (markOff && stored.a < 0.5) shaded = mix(shaded, vec3(1.0, 0.0, 0.0), 0.7);
    colour = vec4(shaded, show == 2 ? 1.0 : base.a);
}
)";

constexpr GLenum kNoTexture = 0;

} // namespace

std::uint32_t MatchingLevel(const pictavo::TextureInfo& info, std::uint32_t width) {
    std::uint32_t best = 0;
    for (std::uint32_t level = 1; level < info.levels; ++level) {
        const auto distance = [&](std::uint32_t l) {
            return std::abs(std::int64_t(std::max(info.width >> l, 1u)) - std::int64_t(width));
        };
        if (distance(level) < distance(best)) {
            best = level;
        }
    }
    return best;
}

void MaterialRenderer::SetMaps(std::shared_ptr<const pictavo::Texture> colour,
                               std::shared_ptr<const pictavo::Texture> normal,
                               std::shared_ptr<const pictavo::Texture> specular, int level,
                               int face) {
    if (colour == colour_ && normal == normal_ && specular == specular_ && level == level_ &&
        face == face_) {
        return;
    }
    colour_ = std::move(colour);
    normal_ = std::move(normal);
    specular_ = std::move(specular);
    level_ = level;
    face_ = face;
    stale_ = true;
}

bool MaterialRenderer::Prepare() {
    if (program_ || failed_) {
        return !failed_;
    }
    gl_.initializeOpenGLFunctions();
    program_ = std::make_unique<QOpenGLShaderProgram>();
    failed_ = !program_->addShaderFromSourceCode(QOpenGLShader::Vertex, kVertexShader) ||
              !program_->addShaderFromSourceCode(QOpenGLShader::Fragment, kFragmentShader) ||
              !program_->link();
    if (failed_) {
        program_.reset();
        return false;
    }
    gl_.glGenVertexArrays(1, &vertexArray_);
    gl_.glGenBuffers(1, &vertexBuffer_);
    gl_.glGenTextures(GLsizei(textures_.size()), textures_.data());
    return true;
}

void MaterialRenderer::UploadImage(unsigned int name, const pictavo::RgbaImage& image) {
    gl_.glBindTexture(GL_TEXTURE_2D, name);
    // One mip level a pixel: three maps sampled trilinearly cost a software rasteriser a
    // third of the frame more.
    gl_.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_NEAREST);
    gl_.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    gl_.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    gl_.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    gl_.glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    gl_.glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, GLsizei(image.width), GLsizei(image.height), 0,
                     GL_RGBA, GL_UNSIGNED_BYTE, image.pixels.data());
    gl_.glGenerateMipmap(GL_TEXTURE_2D);
}

void MaterialRenderer::Upload() {
    stale_ = false;
    hasNormal_ = hasSpecular_ = false;
    layout_.reset();
    offShare_ = 0;
    pictavo::RgbaImage colour;
    if (!colour_ ||
        !pictavo::DecodeImage(*colour_, std::uint32_t(level_), std::uint32_t(face_), colour)) {
        colour = {1, 1, {255, 255, 255, 255}};
    }
    UploadImage(textures_[0], colour);
    // A partner's face 0: normal and specular maps are flat pictures.
    const auto decodePartner = [&colour](const pictavo::Texture& texture, pictavo::RgbaImage& out) {
        return bool(
            pictavo::DecodeImage(texture, MatchingLevel(texture.info, colour.width), 0, out));
    };
    pictavo::RgbaImage image;
    if (normal_ && decodePartner(*normal_, image)) {
        layout_ = pictavo::DetectNormalLayout(image);
        offShare_ = pictavo::CheckNormalMap(image, *layout_).Share();
        UploadImage(textures_[1], pictavo::PackNormals(image, *layout_));
        hasNormal_ = true;
    }
    if (specular_ && decodePartner(*specular_, image)) {
        UploadImage(textures_[2], image);
        hasSpecular_ = true;
    }
}

void MaterialRenderer::BuildMesh(MaterialShape shape) {
    const std::vector<MaterialVertex> vertices = MaterialMesh(shape);
    meshShape_ = shape;
    vertexCount_ = int(vertices.size());
    gl_.glBindVertexArray(vertexArray_);
    gl_.glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer_);
    gl_.glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(vertices.size() * sizeof(MaterialVertex)),
                     vertices.data(), GL_STATIC_DRAW);
    const auto attribute = [this](GLuint index, GLint size, std::size_t offset) {
        gl_.glEnableVertexAttribArray(index);
        gl_.glVertexAttribPointer(index, size, GL_FLOAT, GL_FALSE, sizeof(MaterialVertex),
                                  reinterpret_cast<const void*>(offset));
    };
    attribute(0, 3, offsetof(MaterialVertex, position));
    attribute(1, 2, offsetof(MaterialVertex, uv));
    attribute(2, 3, offsetof(MaterialVertex, tangent));
    attribute(3, 3, offsetof(MaterialVertex, bitangent));
    attribute(4, 3, offsetof(MaterialVertex, normal));
    gl_.glBindVertexArray(0);
}

void MaterialRenderer::Draw(const MaterialSettings& settings) {
    if (!Prepare()) {
        return;
    }
    if (stale_) {
        Upload();
    }
    if (meshShape_ != settings.shape) {
        BuildMesh(settings.shape);
    }
    GLfloat projection[16];
    GLfloat modelView[16];
    gl_.glGetFloatv(GL_PROJECTION_MATRIX, projection);
    gl_.glGetFloatv(GL_MODELVIEW_MATRIX, modelView);

    program_->bind();
    program_->setUniformValue("projection", QMatrix4x4(projection).transposed());
    program_->setUniformValue("modelView", QMatrix4x4(modelView).transposed());
    program_->setUniformValue("colourMap", 0);
    program_->setUniformValue("normalMap", 1);
    program_->setUniformValue("specularMap", 2);
    program_->setUniformValue("hasNormal", hasNormal_);
    program_->setUniformValue("hasSpecular", hasSpecular_);
    program_->setUniformValue("flipGreen", settings.flipGreen);
    program_->setUniformValue("markOff", settings.markOffNormals);
    program_->setUniformValue("show", int(settings.show));
    const pictavo::SurfaceVector light = pictavo::LightDirection(settings.light);
    program_->setUniformValue("toLight", light.x, light.y, light.z);
    program_->setUniformValue("ambient", pictavo::kAmbient);
    program_->setUniformValue("diffuse", pictavo::kDiffuse);
    program_->setUniformValue("leastPower", pictavo::kLeastPower);
    program_->setUniformValue("powerRange", pictavo::kPowerRange);
    const pictavo::Rgb& plain = pictavo::kPlainSpecular;
    program_->setUniformValue("plainSpecular", plain.r, plain.g, plain.b);
    program_->setUniformValue("plainGloss", pictavo::kPlainGloss);
    for (std::size_t unit = 0; unit < textures_.size(); ++unit) {
        gl_.glActiveTexture(GLenum(GL_TEXTURE0 + unit));
        gl_.glBindTexture(GL_TEXTURE_2D, textures_[unit]);
    }
    gl_.glBindVertexArray(vertexArray_);
    gl_.glDrawArrays(GL_TRIANGLES, 0, vertexCount_);
    gl_.glBindVertexArray(0);
    for (std::size_t unit = textures_.size(); unit-- > 0;) {
        gl_.glActiveTexture(GLenum(GL_TEXTURE0 + unit));
        gl_.glBindTexture(GL_TEXTURE_2D, kNoTexture);
    }
    program_->release();
}

void MaterialRenderer::Release() {
    if (!program_) {
        return;
    }
    gl_.glDeleteTextures(GLsizei(textures_.size()), textures_.data());
    gl_.glDeleteBuffers(1, &vertexBuffer_);
    gl_.glDeleteVertexArrays(1, &vertexArray_);
    textures_ = {};
    vertexArray_ = vertexBuffer_ = 0;
    meshShape_.reset();
    program_.reset();
    stale_ = true;
}
