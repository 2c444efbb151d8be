// The classic grey look, drawn straight into a top-level framebuffer:
// faces, bevels, focus rectangles and text with underlined mnemonics.
#pragma once

#include <cstdint>

#include "platform/host/host.h"
#include "platform/windef.h"

namespace user {

constexpr uint32_t kFace = 0xC0C0C0;
constexpr uint32_t kShadow = 0x808080;
constexpr uint32_t kHighlight = 0xFFFFFF;
constexpr uint32_t kDarkShadow = 0x000000;
constexpr uint32_t kText = 0x000000;
constexpr uint32_t kSelection = 0x000080;
constexpr uint32_t kSelectionText = 0xFFFFFF;

void FillRect(const host::Framebuffer& fb, const RECT& r, uint32_t colour);
// Top and left in one colour, bottom and right in another, one pixel wide.
void Edge(const host::Framebuffer& fb, const RECT& r, uint32_t topLeft, uint32_t bottomRight);
void RaisedBevel(const host::Framebuffer& fb, const RECT& r);
void SunkenBevel(const host::Framebuffer& fb, const RECT& r);
// Alternate pixels, as the keyboard focus is shown.
void FocusRect(const host::Framebuffer& fb, const RECT& r);
// Text with '&' marking the underlined mnemonic ("&&" is a plain '&').
int MnemonicTextWidth(const char* text);
void DrawMnemonicText(const host::Framebuffer& fb, int x, int y, const char* text, uint32_t colour,
                      const RECT& clip);
// The mnemonic letter, upper-cased, or 0.
char Mnemonic(const char* text);
// A 32 x 32 question-mark icon with its top-left corner at x, y.
void DrawQuestionIcon(const host::Framebuffer& fb, int x, int y);
// Draws 0xAARRGGBB pixels over the framebuffer, blending by alpha.
void DrawArgb(const host::Framebuffer& fb, int x, int y, const uint32_t* argb, int width,
              int height);

}  // namespace user
