// Builds RIFF WAVE files byte by byte, so tests can bend any field.
#pragma once

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

struct WaveFormat {
    uint16_t format = 1;
    uint16_t channels = 1;
    uint32_t rate = 22050;
    uint16_t bits = 8;
    int blockAlign = -1;  // -1: channels * bits / 8
    uint32_t fmtSize = 16;
    uint32_t dataBytes = 100;
    int dataSizeField = -1;  // -1: dataBytes; otherwise written instead
    bool padOddData = true;
    bool listChunkFirst = false;  // an odd-sized unknown chunk before "fmt "
    bool dataBeforeFmt = false;
    bool withFmt = true;
    bool withData = true;
    long riffSizeAdjust = 0;  // added to the correct RIFF size
    long riffSizeField = -1;  // -1: the correct size (plus the adjustment)
    const char* riff = "RIFF";
    const char* wave = "WAVE";
};

inline void Put32(std::vector<unsigned char>& b, uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<unsigned char>(v >> (8 * i)));
}
inline void Put16(std::vector<unsigned char>& b, uint16_t v) {
    b.push_back(static_cast<unsigned char>(v));
    b.push_back(static_cast<unsigned char>(v >> 8));
}
inline void PutTag(std::vector<unsigned char>& b, const char* tag) {
    b.insert(b.end(), tag, tag + 4);
}

inline std::vector<unsigned char> MakeWave(const WaveFormat& s) {
    std::vector<unsigned char> fmt, data, list;
    if (s.withFmt) {
        PutTag(fmt, "fmt ");
        Put32(fmt, s.fmtSize);
        Put16(fmt, s.format);
        Put16(fmt, s.channels);
        Put32(fmt, s.rate);
        const uint16_t align = s.blockAlign >= 0 ? static_cast<uint16_t>(s.blockAlign)
                                                 : static_cast<uint16_t>(s.channels * s.bits / 8);
        Put32(fmt, s.rate * align);
        Put16(fmt, align);
        Put16(fmt, s.bits);
        for (uint32_t i = 16; i < s.fmtSize; ++i) fmt.push_back(0);
        if (s.fmtSize % 2) fmt.push_back(0);
    }
    if (s.withData) {
        PutTag(data, "data");
        Put32(data, s.dataSizeField >= 0 ? static_cast<uint32_t>(s.dataSizeField) : s.dataBytes);
        for (uint32_t i = 0; i < s.dataBytes; ++i) {
            data.push_back(static_cast<unsigned char>(0x80 + (i % 32) - 16));
        }
        if (s.dataBytes % 2 && s.padOddData) data.push_back(0);
    }
    if (s.listChunkFirst) {
        PutTag(list, "LIST");
        Put32(list, 5);
        list.insert(list.end(), {'I', 'N', 'F', 'O', 'x', 0});
    }
    std::vector<unsigned char> out;
    PutTag(out, s.riff);
    Put32(out, 0);
    PutTag(out, s.wave);
    out.insert(out.end(), list.begin(), list.end());
    const auto& a = s.dataBeforeFmt ? data : fmt;
    const auto& b = s.dataBeforeFmt ? fmt : data;
    out.insert(out.end(), a.begin(), a.end());
    out.insert(out.end(), b.begin(), b.end());
    const uint32_t riffSize =
        s.riffSizeField >= 0
            ? static_cast<uint32_t>(s.riffSizeField)
            : static_cast<uint32_t>(static_cast<long>(out.size()) - 8 + s.riffSizeAdjust);
    for (int i = 0; i < 4; ++i) out[4 + i] = static_cast<unsigned char>(riffSize >> (8 * i));
    return out;
}

inline std::vector<unsigned char> ReadResourceFile(const std::string& name) {
    std::ifstream in(std::string(TUMBLA_SOURCE_DIR) + "/resources/" + name, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in),
                                      std::istreambuf_iterator<char>());
}
