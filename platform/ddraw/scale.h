// Scaled copies of a pixel region. Shrinking averages the source area under
// each destination pixel (exact, per channel, partial pixels at the edges
// weighted by their share), so thin outlines stay visible in small tiles;
// growing takes the nearest source pixel.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/windef.h"

// Writes the part [left, right) x [top, bottom) of the source region
// (sourceWidth x sourceHeight pixels at source, pitch in pixels) scaled to
// width x height, into out (outPitch pixels per row, out pointing at the
// pixel for (left, top)). The part must lie within width x height. False
// when memory for the work tables runs out.
bool ScaleRegion(const uint32_t* source, int sourcePitch, int sourceWidth, int sourceHeight,
                 int64_t width, int64_t height, int64_t left, int64_t top, int64_t right,
                 int64_t bottom, uint32_t* out, int outPitch);

// Whole scaled regions of one source picture, kept for reuse: a board redraw
// shrinks the same few sheet regions to the same cell size again and again.
// Entries are allocated once and reused; one is valid only for the content
// version of the source it was made from.
class ScaledCopyCache {
public:
    // Larger scaled pictures are not kept; the caller scales what it needs.
    static constexpr int64_t kMaxPixels = 1 << 22;
    static constexpr size_t kMaxEntries = 64;

    // The region scaled to width x height (row after row, width pixels
    // apart), made now or kept from before; null when it is too large or
    // memory runs out.
    const uint32_t* Get(const uint32_t* source, int sourcePitch, const RECT& region, int width,
                        int height, uint64_t version);
    // Frees every entry.
    void Clear();

private:
    struct Entry {
        RECT region;
        int width;
        int height;
        uint64_t version;
        uint64_t lastUse;
        std::vector<uint32_t> pixels;
    };
    std::vector<Entry> entries_;
    uint64_t clock_ = 0;
};
