// The dragon in motion as the game plays it: its moves set up by the ride's choreography, the
// game's own key timer, skinning and attached breath, drawn frame by frame into contact sheets.
#pragma once

#include <string>

// One sheet per move shown, "motion-move-N.png" in out: 8 frames across one loop of the keys,
// the camera where the ride's forward view sits (behind and above) or beside the dragon.
// render draws into the current context at size x size and saves it.
void renderDragonMotion(const std::string& out, int size, void (*save)(const std::string& path));
