#include "platform/host/text.h"

#include <SDL.h>
#include <SDL_ttf.h>
#include <dlfcn.h>
#include <fontconfig/fontconfig.h>

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
    int left;  // where the mask starts relative to the pen
    int width;
    int height;
    std::vector<uint8_t> alpha;  // coverage, row after row
};

enum class FontState { Untried, Ready, Missing };

FontState state = FontState::Untried;
TTF_Font* font = nullptr;
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

TTF_Font* OpenThroughFontconfig() {
    Fontconfig fc{};
    if (!LoadFontconfig(&fc)) return nullptr;
    TTF_Font* opened = nullptr;
    for (const char* family : {"DejaVu Sans", "sans-serif"}) {
        std::string file = FindFontFile(fc, family);
        if (file.empty()) continue;
        opened = TTF_OpenFont(file.c_str(), kPixelSize);
        if (opened) break;
    }
    // Nothing else asks fontconfig anything: let its caches go.
    fc.fini();
    return opened;
}

bool Open() {
    if (state != FontState::Untried) return state == FontState::Ready;
    state = FontState::Missing;
    if (!TTF_WasInit() && TTF_Init() != 0) return false;
    // A fontconfig configuration named in the environment is the user's
    // explicit choice of fonts: it wins over the usual places.
    if (std::getenv("FONTCONFIG_FILE") == nullptr) {
        for (const char* file : kDejaVuSansFiles) {
            font = TTF_OpenFont(file, kPixelSize);
            if (font) break;
        }
    }
    if (!font) font = OpenThroughFontconfig();
    if (!font) return false;
    TTF_SetFontHinting(font, TTF_HINTING_NORMAL);
    metrics.height = TTF_FontHeight(font);
    metrics.ascent = TTF_FontAscent(font);
    // Windows' average width: the mean over the 52 letters.
    const char* letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    int w = 0;
    TTF_SizeText(font, letters, &w, nullptr);
    metrics.averageWidth = (w + 26) / 52;
    state = FontState::Ready;
    return true;
}

const Glyph& GlyphFor(unsigned char c) {
    Glyph& g = glyphs[c];
    if (g.ready) return g;
    g.ready = true;
    Uint32 code = c;
    if (c < 0x20 || c == 0x7F) return g;
    int minx = 0, maxx = 0, miny = 0, maxy = 0, advance = 0;
    if (TTF_GlyphMetrics32(font, code, &minx, &maxx, &miny, &maxy, &advance) != 0) return g;
    g.advance = advance;
    SDL_Surface* rendered = TTF_RenderGlyph32_Blended(font, code, SDL_Color{255, 255, 255, 255});
    if (!rendered) return g;
    SDL_Surface* argb = SDL_ConvertSurfaceFormat(rendered, SDL_PIXELFORMAT_ARGB8888, 0);
    SDL_FreeSurface(rendered);
    if (!argb) return g;
    g.left = minx < 0 ? minx : 0;
    g.width = argb->w;
    g.height = argb->h;
    g.alpha.resize(static_cast<size_t>(g.width) * static_cast<size_t>(g.height));
    for (int y = 0; y < g.height; ++y) {
        const uint32_t* row = reinterpret_cast<const uint32_t*>(
            static_cast<const uint8_t*>(argb->pixels) + y * argb->pitch);
        for (int x = 0; x < g.width; ++x)
            g.alpha[static_cast<size_t>(y * g.width + x)] = row[x] >> 24;
    }
    SDL_FreeSurface(argb);
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
            int py = y + gy;
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
