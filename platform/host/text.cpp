#include "platform/host/text.h"

#include <dlfcn.h>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

namespace host {
namespace {

// 8 points at 96 dots per inch, the classic dialog and menu size.
constexpr int kPixelSize = 11;

struct Glyph {
    bool ready;
    int advance;
    int left;  // where the mask starts right of the pen
    int top;   // where the mask starts below the line's top
    int width;
    int height;
    std::vector<uint8_t> alpha;  // coverage, row after row
};

enum class FontState { Untried, Ready, Missing };

FontState state = FontState::Untried;
FT_Library library = nullptr;
FT_Face font = nullptr;
FontMetrics metrics{};
Glyph glyphs[256];

// fontconfig is only asked when DejaVu Sans is not where distributions put
// it, so it is loaded then rather than with the program: linked in, it and
// its XML parser cost every start about 1 ms and 200 KB of memory.
struct Fontconfig {
    decltype(&FcNameParse) nameParse;
    decltype(&FcPatternAddInteger) patternAddInteger;
    decltype(&FcConfigSubstitute) configSubstitute;
    decltype(&FcDefaultSubstitute) defaultSubstitute;
    decltype(&FcFontMatch) fontMatch;
    decltype(&FcPatternGetString) patternGetString;
    decltype(&FcPatternDestroy) patternDestroy;
    decltype(&FcFini) fini;
};

template <typename Function>
bool Resolve(void* library, const char* name, Function* function) {
    *function = reinterpret_cast<Function>(dlsym(library, name));
    return *function != nullptr;
}

// Never unloaded: what it leaves behind must still be attributable to it.
bool LoadFontconfig(Fontconfig* fc) {
    void* library = dlopen("libfontconfig.so.1", RTLD_NOW | RTLD_LOCAL);
    return library && Resolve(library, "FcNameParse", &fc->nameParse) &&
           Resolve(library, "FcPatternAddInteger", &fc->patternAddInteger) &&
           Resolve(library, "FcConfigSubstitute", &fc->configSubstitute) &&
           Resolve(library, "FcDefaultSubstitute", &fc->defaultSubstitute) &&
           Resolve(library, "FcFontMatch", &fc->fontMatch) &&
           Resolve(library, "FcPatternGetString", &fc->patternGetString) &&
           Resolve(library, "FcPatternDestroy", &fc->patternDestroy) &&
           Resolve(library, "FcFini", &fc->fini);
}

std::string FindFontFile(const Fontconfig& fc, const char* family) {
    std::string path;
    FcPattern* pattern = fc.nameParse(reinterpret_cast<const FcChar8*>(family));
    if (!pattern) return path;
    fc.patternAddInteger(pattern, FC_WEIGHT, FC_WEIGHT_REGULAR);
    fc.patternAddInteger(pattern, FC_SLANT, FC_SLANT_ROMAN);
    fc.configSubstitute(nullptr, pattern, FcMatchPattern);
    fc.defaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = fc.fontMatch(nullptr, pattern, &result);
    if (match) {
        FcChar8* file = nullptr;
        if (fc.patternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file) {
            path = reinterpret_cast<const char*>(file);
        }
        fc.patternDestroy(match);
    }
    fc.patternDestroy(pattern);
    return path;
}

// Where the common distributions install DejaVu Sans. Asking fontconfig
// costs about 10 ms at start-up (it reads its whole configuration and every
// cache) and leaves a megabyte of heap behind, for the answer these paths give
// on nearly every machine.
const char* const kDejaVuSansFiles[] = {
    "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",    // Debian, Ubuntu
    "/usr/share/fonts/dejavu-sans-fonts/DejaVuSans.ttf",  // Fedora
    "/usr/share/fonts/TTF/DejaVuSans.ttf",                // Arch
    "/usr/share/fonts/dejavu/DejaVuSans.ttf",             // openSUSE, Alpine
};

// A scalable face at the layer's size, or null.
FT_Face OpenFace(const char* file) {
    FT_Face face = nullptr;
    if (FT_New_Face(library, file, 0, &face) != 0) return nullptr;
    if (!FT_IS_SCALABLE(face) || FT_Set_Pixel_Sizes(face, 0, kPixelSize) != 0) {
        FT_Done_Face(face);
        return nullptr;
    }
    return face;
}

FT_Face OpenThroughFontconfig() {
    Fontconfig fc{};
    if (!LoadFontconfig(&fc)) return nullptr;
    FT_Face opened = nullptr;
    for (const char* family : {"DejaVu Sans", "sans-serif"}) {
        std::string file = FindFontFile(fc, family);
        if (file.empty()) continue;
        opened = OpenFace(file.c_str());
        if (opened) break;
    }
    // Nothing else asks fontconfig anything: let its caches go.
    fc.fini();
    return opened;
}

const Glyph& GlyphFor(unsigned char c);

// 26.6 fixed point to whole pixels, rounding up.
int CeilPixels(FT_Pos value) { return static_cast<int>((value + 63) >> 6); }

bool Open() {
    if (state != FontState::Untried) return state == FontState::Ready;
    state = FontState::Missing;
    if (FT_Init_FreeType(&library) != 0) return false;
    // A fontconfig configuration named in the environment is the user's
    // explicit choice of fonts: it wins over the usual places.
    if (std::getenv("FONTCONFIG_FILE") == nullptr) {
        for (const char* file : kDejaVuSansFiles) {
            font = OpenFace(file);
            if (font) break;
        }
    }
    if (!font) font = OpenThroughFontconfig();
    if (!font) {
        FT_Done_FreeType(library);
        library = nullptr;
        return false;
    }
    // The line: the design ascent rounded up above the baseline, the whole
    // design height rounded up.
    FT_Fixed scale = font->size->metrics.y_scale;
    metrics.ascent = CeilPixels(FT_MulFix(font->ascender, scale));
    metrics.height = CeilPixels(FT_MulFix(font->ascender - font->descender, scale));
    // Windows' average width: the mean over the 52 letters.
    int w = 0;
    for (char c = 'A'; c <= 'Z'; ++c) w += GlyphFor(static_cast<unsigned char>(c)).advance;
    for (char c = 'a'; c <= 'z'; ++c) w += GlyphFor(static_cast<unsigned char>(c)).advance;
    metrics.averageWidth = (w + 26) / 52;
    state = FontState::Ready;
    return true;
}

// Latin-1 bytes are the first 256 code points. A glyph is hinted and
// rendered with 256 levels of coverage; the mask keeps what reaches below
// the line (an underscore's bar sits just under it), callers clip.
const Glyph& GlyphFor(unsigned char c) {
    Glyph& g = glyphs[c];
    if (g.ready) return g;
    g.ready = true;
    if (c < 0x20 || c == 0x7F) return g;
    if (FT_Load_Char(font, c, FT_LOAD_DEFAULT | FT_LOAD_TARGET_NORMAL) != 0) return g;
    FT_GlyphSlot slot = font->glyph;
    g.advance = CeilPixels(slot->advance.x);
    if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0) return g;
    const FT_Bitmap& bitmap = slot->bitmap;
    if (bitmap.pixel_mode != FT_PIXEL_MODE_GRAY || bitmap.num_grays != 256) return g;
    g.left = slot->bitmap_left;
    g.top = metrics.ascent - slot->bitmap_top;
    g.width = static_cast<int>(bitmap.width);
    g.height = static_cast<int>(bitmap.rows);
    g.alpha.resize(static_cast<size_t>(g.width) * static_cast<size_t>(g.height));
    for (int y = 0; y < g.height; ++y) {
        const uint8_t* row = bitmap.buffer + static_cast<ptrdiff_t>(y) * bitmap.pitch;
        std::copy(row, row + g.width, g.alpha.begin() + static_cast<ptrdiff_t>(y) * g.width);
    }
    return g;
}

uint32_t Blend(uint32_t under, uint32_t colour, unsigned alpha) {
    uint32_t result = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        unsigned a = (under >> shift) & 0xFF;
        unsigned b = (colour >> shift) & 0xFF;
        result |= ((a * (255 - alpha) + b * alpha + 127) / 255) << shift;
    }
    return result;
}

}  // namespace

bool TextAvailable() { return Open(); }

FontMetrics TextMetrics() {
    if (!Open()) return FontMetrics{13, 10, 7};
    return metrics;
}

int TextWidth(const char* text, int length) {
    if (!Open() || !text) return 0;
    int width = 0;
    for (int i = 0; i < length && text[i]; ++i)
        width += GlyphFor(static_cast<unsigned char>(text[i])).advance;
    return width;
}

void DrawText(const Framebuffer& target, int x, int y, const char* text, int length,
              uint32_t colour, const Rect& clip) {
    if (!Open() || !text) return;
    int clipLeft = clip.x < 0 ? 0 : clip.x;
    int clipTop = clip.y < 0 ? 0 : clip.y;
    int clipRight = clip.x + clip.width > target.width ? target.width : clip.x + clip.width;
    int clipBottom = clip.y + clip.height > target.height ? target.height : clip.y + clip.height;
    int pen = x;
    for (int i = 0; i < length && text[i]; ++i) {
        const Glyph& g = GlyphFor(static_cast<unsigned char>(text[i]));
        int left = pen + g.left;
        for (int gy = 0; gy < g.height; ++gy) {
            int py = y + g.top + gy;
            if (py < clipTop || py >= clipBottom) continue;
            uint32_t* row = target.pixels + static_cast<ptrdiff_t>(py) * target.pitch;
            const uint8_t* mask = g.alpha.data() + static_cast<size_t>(gy * g.width);
            for (int gx = 0; gx < g.width; ++gx) {
                int px = left + gx;
                if (px < clipLeft || px >= clipRight || mask[gx] == 0) continue;
                row[px] = mask[gx] == 255 ? colour : Blend(row[px], colour, mask[gx]);
            }
        }
        pen += g.advance;
    }
}

}  // namespace host
