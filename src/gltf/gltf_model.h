#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "bitmap/texture_images.h"
#include "model_io/resource_loader.h"
#include "scene/scene.h"

namespace torvale {

// Reads a glTF 2.0 model held in memory, either a .gltf (JSON; its buffers come through `loader`, data: URIs
// are decoded in place) or a .glb, into `scene`. Numbers in `pof_*` extras are the game's own and are kept
// as they are; everything else is turned into the game's frame (see SwitchHandedness).
// - Every node with a mesh, and every empty node with extras.pof_index (a joint without geometry), becomes a
//   sub-object, in the order the node tree is walked, or by pof_index when every one of them has it; its
//   parent is the nearest such ancestor (or -1), its offset the distance from that ancestor. Its name is
//   extras.pof_name, else the node's (else the mesh's); extras pof_properties, pof_movement_type and
//   pof_movement_axis fill those fields.
// - Rotations and scales of the tree are applied to the vertices (a note says so); a node that mirrors has
//   its triangles' corners reversed so that they keep facing out.
// - Triangles become faces. The texture name is the material's extras.d3_texture, else its base-colour image
//   file name (without extension), else its name (a Blender ".001" suffix dropped when the material without
//   it exists). Faces without a material, or whose material is only a colour (no name, or named
//   "rgb_xxxxxx"), are untextured in the sRGB bytes of its linear colour (white without a material).
// - Empty nodes named Gun_<n>, Attach_<n>, Ground_<n> (any case; also the older "gunpoint...", "attach...",
//   "ground...") become points of the sub-object above them (of the first root one if none is), ordered by
//   n and then by name; the direction is the node's local +Y and an attach point's up-vector its local -Z,
//   unless extras pof_direction / pof_up (or the older extras.direction) give them. Up-vectors are kept when
//   an attach node has pof_up or pof_has_uvec.
// - Weapon batteries come from extras.pof_batteries of sub-object 0's node or of the scene; otherwise a model
//   with gun points gets one battery of its first eight.
// - LINEAR rotation and translation channels of sub-object nodes become their keys at 30 frames a second:
//   rotation keys each the turn from the key before, position keys displacements from the rest translation.
//   extras pof_rotation_keys / pof_position_keys win over channels. What an object model cannot hold
//   (cubic-spline or step interpolation, scale channels, channels of other nodes, skins, morph targets) is
//   read as far as it goes and named in one "Warning: " line of each kind.
// `notes` receives one line per thing the log should mention. On refusal returns false, `error` is one line
// naming `title`, the element and why, and `scene` is untouched.
// With `images`, the base-colour images the texture names came from are read too (embedded in a buffer view,
// in a data: URI, or a file beside the model through `loader`): one slot per texture of the scene. An image
// that cannot be read is a note and an empty slot; without `images` no image is read at all.
bool ReadGltfModel(std::span<const std::uint8_t> bytes,
                   std::string_view title,
                   const ResourceLoader& loader,
                   Scene& scene,
                   std::vector<std::string>& notes,
                   std::string& error,
                   TextureImages* images = nullptr);

}  // namespace torvale
