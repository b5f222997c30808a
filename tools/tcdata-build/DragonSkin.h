// The dragon's skin: one texture of several regions (scales, belly plates, the wing membrane,
// horn, spike, eye and mouth), and the mapping of the model's faces onto it.
#pragma once

#include "tools/bonemodel/BoneModelWriter.h"
#include "tools/tcdata-build/Canvas.h"

namespace dragonskin {

// The texture's name in the archive and in the model's texture list.
constexpr const char* kTextureName = "DragonSkin.jpg";
constexpr int kSize = 512;

// What a face shows, chosen by the caller for each of the model's materials.
enum class Region { Scales, Belly, Membrane, Horn, Spike, Eye, Mouth };

// The painted texture, kSize x kSize, row 0 at the top.
Canvas paint();

// Gives every face texture 0 and texture coordinates inside its region, from the surface
// coordinates the mesh builder wrote: a membrane face keeps its place on the whole wing (its
// coordinates run 0..1 over the panel), every other face spans its region's tile once, which
// repeats seamlessly from face to face.
void apply(bonemodel::Part& part, Region (*regionOf)(int material));

} // namespace dragonskin
