#include "platform/ddraw/scale.h"

#include <algorithm>

namespace {

// One source pixel's share in a destination pixel along one axis.
struct Tap {
    int source;
    uint32_t weight;
};

// Work tables kept between calls, so a steady stream of blits allocates
// nothing once they have grown to the largest size seen.
struct Scratch {
    std::vector<Tap> tapsX, tapsY;
    std::vector<uint32_t> startX, startY;  // taps of destination i: [start[i], start[i + 1])
    std::vector<uint32_t> columns;         // per source column: red, green, blue sums
};

Scratch& TheScratch() {
    static Scratch scratch;
    return scratch;
}

// Taps for destination pixels [first, first + count) of an axis of d pixels
// over s source pixels; total receives what each pixel's weights add up to.
// Shrinking: pixel i covers source span [i*s/d, (i+1)*s/d); measured in
// 1/d-ths of a source pixel every overlap is a whole number, and they add up
// to s. Growing (or equal): the one source pixel under the pixel's centre.
void AxisTaps(int64_t s, int64_t d, int64_t first, int64_t count, std::vector<Tap>& taps,
              std::vector<uint32_t>& starts, uint32_t* total) {
    taps.clear();
    starts.clear();
    if (s > d) {
        *total = static_cast<uint32_t>(s);
        for (int64_t i = first; i < first + count; ++i) {
            starts.push_back(static_cast<uint32_t>(taps.size()));
            const int64_t lo = i * s, hi = (i + 1) * s;
            for (int64_t j = lo / d; j * d < hi; ++j) {
                const int64_t overlap = std::min(hi, (j + 1) * d) - std::max(lo, j * d);
                if (overlap > 0)
                    taps.push_back({static_cast<int>(j), static_cast<uint32_t>(overlap)});
            }
        }
    } else {
        *total = 1;
        for (int64_t i = first; i < first + count; ++i) {
            starts.push_back(static_cast<uint32_t>(taps.size()));
            taps.push_back({static_cast<int>((2 * i + 1) * s / (2 * d)), 1});
        }
    }
    starts.push_back(static_cast<uint32_t>(taps.size()));
}

}  // namespace

bool ScaleRegion(const uint32_t* source, int sourcePitch, int sourceWidth, int sourceHeight,
                 int64_t width, int64_t height, int64_t left, int64_t top, int64_t right,
                 int64_t bottom, uint32_t* out, int outPitch) {
    if (left >= right || top >= bottom) return true;
    Scratch& scratch = TheScratch();
    uint32_t totalX = 1, totalY = 1;
    try {
        AxisTaps(sourceWidth, width, left, right - left, scratch.tapsX, scratch.startX, &totalX);
        AxisTaps(sourceHeight, height, top, bottom - top, scratch.tapsY, scratch.startY, &totalY);
    } catch (...) {
        return false;
    }
    // The taps of consecutive pixels move left to right, so the columns in
    // use form one span.
    const int firstColumn = scratch.tapsX.front().source;
    const int lastColumn = scratch.tapsX.back().source;
    const size_t columnCount = static_cast<size_t>(lastColumn - firstColumn + 1);
    try {
        if (scratch.columns.size() < 3 * columnCount) scratch.columns.resize(3 * columnCount);
    } catch (...) {
        return false;
    }
    const uint64_t total = static_cast<uint64_t>(totalX) * totalY;
    const uint64_t half = total / 2;
    uint32_t* sums = scratch.columns.data();

    for (int64_t k = 0; k < bottom - top; ++k) {
        // Down the column first: each source column's weighted sum over the
        // rows this destination row covers (at most sourceHeight x 255).
        std::fill(sums, sums + 3 * columnCount, 0u);
        for (uint32_t t = scratch.startY[k]; t < scratch.startY[k + 1]; ++t) {
            const Tap tap = scratch.tapsY[t];
            const uint32_t* row =
                source + static_cast<size_t>(tap.source) * sourcePitch + firstColumn;
            for (size_t c = 0; c < columnCount; ++c) {
                const uint32_t p = row[c];
                sums[3 * c] += tap.weight * ((p >> 16) & 0xFF);
                sums[3 * c + 1] += tap.weight * ((p >> 8) & 0xFF);
                sums[3 * c + 2] += tap.weight * (p & 0xFF);
            }
        }
        uint32_t* target = out + static_cast<size_t>(k) * outPitch;
        for (int64_t i = 0; i < right - left; ++i) {
            uint64_t r = 0, g = 0, b = 0;
            for (uint32_t t = scratch.startX[i]; t < scratch.startX[i + 1]; ++t) {
                const Tap tap = scratch.tapsX[t];
                const uint32_t* s = sums + 3 * static_cast<size_t>(tap.source - firstColumn);
                r += static_cast<uint64_t>(tap.weight) * s[0];
                g += static_cast<uint64_t>(tap.weight) * s[1];
                b += static_cast<uint64_t>(tap.weight) * s[2];
            }
            target[i] = static_cast<uint32_t>(((r + half) / total) << 16 |
                                              ((g + half) / total) << 8 | ((b + half) / total));
        }
    }
    return true;
}

const uint32_t* ScaledCopyCache::Get(const uint32_t* source, int sourcePitch, const RECT& region,
                                     int width, int height, uint64_t version) {
    if (static_cast<int64_t>(width) * height > kMaxPixels) return nullptr;
    ++clock_;
    Entry* slot = nullptr;
    for (Entry& entry : entries_) {
        if (entry.region.left == region.left && entry.region.top == region.top &&
            entry.region.right == region.right && entry.region.bottom == region.bottom &&
            entry.width == width && entry.height == height) {
            slot = &entry;
            break;
        }
    }
    if (slot != nullptr && slot->version == version) {
        slot->lastUse = clock_;
        return slot->pixels.data();
    }
    try {
        if (slot == nullptr && entries_.size() < kMaxEntries) {
            if (entries_.capacity() == 0) entries_.reserve(kMaxEntries);
            entries_.push_back(Entry{region, width, height, 0, 0, {}});
            slot = &entries_.back();
        } else if (slot == nullptr) {
            slot = &*std::min_element(
                entries_.begin(), entries_.end(),
                [](const Entry& a, const Entry& b) { return a.lastUse < b.lastUse; });
        }
        slot->region = region;
        slot->width = width;
        slot->height = height;
        slot->pixels.resize(static_cast<size_t>(width) * height);
    } catch (...) {
        return nullptr;
    }
    const uint32_t* origin = source + static_cast<size_t>(region.top) * sourcePitch + region.left;
    if (!ScaleRegion(origin, sourcePitch, region.right - region.left, region.bottom - region.top,
                     width, height, 0, 0, width, height, slot->pixels.data(), width)) {
        // Not valid for any version: the next request scales afresh.
        slot->lastUse = 0;
        slot->version = ~uint64_t{0};
        return nullptr;
    }
    slot->version = version;
    slot->lastUse = clock_;
    return slot->pixels.data();
}

void ScaledCopyCache::Clear() {
    entries_.clear();
    entries_.shrink_to_fit();
}
