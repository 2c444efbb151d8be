// Surface loss as the host causes it: when a window's framebuffer is made
// anew, every surface counts as having lost its memory, and the program sees
// DDERR_SURFACELOST until it restores them and draws again.
#pragma once

void LoseAllSurfaces();
