#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "bitmap/texture_images.h"
#include "core/atomic_file.h"

#include "scene/scene.h"

namespace torvale {

// The PNG files an exported model's textures are written as (or, in a GLB, embedded as).
struct TextureFile {
    std::string fileName;  // "Brick.png": TextureFileStem of the texture's name, made distinct, and ".png"
    const Image* image = nullptr;
    std::string origin;  // where the image was found, for the log
};

struct TextureFilePlan {
    std::vector<TextureFile> files;
    // Per Scene::textures slot: its index in `files`, or -1 when no face uses it or it has no image. Slots of
    // one name share a file, whose image is the first of them that has one.
    std::vector<int> fileOfTexture;

    int fileOf(std::int32_t texture) const {
        return texture < 0 || static_cast<std::size_t>(texture) >= fileOfTexture.size()
                   ? -1
                   : fileOfTexture[static_cast<std::size_t>(texture)];
    }
};

// A texture name made fit to be a file name on Windows and POSIX alike, and a reference in an OBJ or a glTF
// that reads back as that file: a known bitmap extension (.ogf, .oaf, .tga, .png) is dropped; every character
// Windows refuses in a file name (< > : " / \ | ? *, control characters) and those our readers or an OBJ take
// otherwise ('%' starts an escape, '#' a comment, blanks end a name) become '_', and so does every byte that
// is not part of a UTF-8 character; a name of a device Windows reserves (CON, NUL, COM1...) gets a '_' in
// front; a name longer than 200 bytes is cut at a character's start; an empty name gives "texture_N" (N the
// slot).
std::string TextureFileStem(std::string_view textureName, std::size_t slot);

// The files for the textures of `scene` that a face uses and `images` has an image for. Two names whose stems
// are the same, regardless of ASCII case (Windows and macOS tell no case apart), are made distinct by "_2",
// "_3"... after the stem of the later ones, in the order of the slots.
TextureFilePlan PlanTextureFiles(const Scene& scene, const TextureImages& images);

// A texture's PNG file: its name (TextureFile::fileName) and bytes.
struct PngFile {
    std::string fileName;
    std::vector<std::uint8_t> bytes;  // empty when the image could not be encoded
};

// The PNG of every file of `plan`, in its order. An image the encoder refuses gets no bytes and a line in
// `warnings`; its textures are written as without an image.
std::vector<PngFile> EncodeTextureFiles(const TextureFilePlan& plan, std::vector<std::string>& warnings);

// The paths of the plan's files beside the model file `modelPath`.
std::vector<std::string> TextureFilePaths(const std::string& modelPath, const TextureFilePlan& plan);

// The PNG files that have bytes, as files to write beside the model file `modelPath`.
std::vector<FileToWrite> PngFilesBeside(const std::string& modelPath, const std::vector<PngFile>& pngs);

}  // namespace torvale
