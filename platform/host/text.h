// Text for the layer's own drawing (menus, message boxes, dialogs): one
// proportional sans font at 8 points, drawn from a glyph cache so drawing
// allocates nothing once a glyph has been seen.
#pragma once

#include "platform/host/host.h"

namespace host {

struct FontMetrics {
    int height;        // line height in pixels
    int ascent;        // baseline below the line's top
    int averageWidth;  // the average character width dialog units are based on
};

// Opens the font on first use. False when no font could be found: text then
// measures 0 and draws nothing.
bool TextAvailable();
FontMetrics TextMetrics();
// Width in pixels of `length` Latin-1 bytes.
int TextWidth(const char* text, int length);
// Draws with the line's top at y, clipped to `clip`.
void DrawText(const Framebuffer& target, int x, int y, const char* text, int length,
              uint32_t colour, const Rect& clip);

}  // namespace host
