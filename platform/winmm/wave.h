// The sample data of a RIFF WAVE file, as held whole by a "WAVE" resource.
#pragma once

#include <cstddef>

struct WaveSound {
    const unsigned char* samples;  // points into the parsed bytes
    size_t bytes;                  // a whole number of frames, at least one
    int rate;                      // frames per second
    int channels;                  // 1 or 2
    int bitsPerSample;             // 8 (unsigned) or 16 (signed, little-endian)
};

// Reads uncompressed PCM, 8 or 16 bits, mono or stereo, at any rate from 1 to
// 384000 Hz. Every size is checked against the bytes given: anything
// truncated, inconsistent or in another format gives false and leaves *out
// untouched. Chunks other than "fmt " and "data" are skipped; bytes after
// the RIFF chunk are ignored, and the pad byte of an odd-sized last chunk
// may be missing. The stored byte rate is not relied on: it follows from
// the rest and is often wrong in files found in the wild.
bool ParseWave(const void* data, size_t size, WaveSound* out);
