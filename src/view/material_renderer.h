#pragma once

#include "material/normal_map.h"
#include "texture/texture.h"
#include "view/material_settings.h"

#include <QOpenGLExtraFunctions>
#include <QOpenGLShaderProgram>
#include <array>
#include <memory>
#include <optional>

// The material mode's drawing: the colour map lit by its normal and specular maps in a
// shader (OpenGL 3.3 core) that follows pictavo::ShadeTexel. Its textures are one level of
// each map, made when the maps or the level change, never per frame. Every call needs the
// view's context current.
class MaterialRenderer {
public:
    MaterialRenderer() = default;
    MaterialRenderer(const MaterialRenderer&) = delete;
    MaterialRenderer& operator=(const MaterialRenderer&) = delete;

    // The maps to draw; a null normal map lights the colour map as a flat surface.
    void SetMaps(std::shared_ptr<const pictavo::Texture> colour,
                 std::shared_ptr<const pictavo::Texture> normal,
                 std::shared_ptr<const pictavo::Texture> specular, int level, int face);
    // With the current model-view and projection matrices of the fixed-function state.
    void Draw(const MaterialSettings& settings);
    // Frees what it made in the context.
    void Release();

    // The normal map's layout and the share of its texels the check finds off, once drawn.
    std::optional<pictavo::NormalLayout> Layout() const { return layout_; }
    double OffShare() const { return offShare_; }

private:
    bool Prepare();
    void Upload();
    void UploadImage(unsigned int name, const pictavo::RgbaImage& image);
    void BuildMesh(MaterialShape shape);

    QOpenGLExtraFunctions gl_;
    std::unique_ptr<QOpenGLShaderProgram> program_;
    bool failed_ = false;
    unsigned int vertexArray_ = 0;
    unsigned int vertexBuffer_ = 0;
    std::optional<MaterialShape> meshShape_;
    int vertexCount_ = 0;

    std::shared_ptr<const pictavo::Texture> colour_;
    std::shared_ptr<const pictavo::Texture> normal_;
    std::shared_ptr<const pictavo::Texture> specular_;
    int level_ = 0;
    int face_ = 0;
    bool stale_ = true;
    // Colour, packed normals, specular.
    std::array<unsigned int, 3> textures_{};
    bool hasNormal_ = false;
    bool hasSpecular_ = false;
    std::optional<pictavo::NormalLayout> layout_;
    double offShare_ = 0;
};

// The level of `texture` whose width is nearest `width`, so maps of other sizes line up.
std::uint32_t MatchingLevel(const pictavo::TextureInfo& info, std::uint32_t width);
