// The run-time library's text mode against a plain model of its rules:
// CR LF reads as LF, a lone CR stays, 0x1A ends the readable data until the
// next seek (and is left in the buffer after the bytes delivered), a
// trailing 0x1A is cut when the file is opened for writing, LF is written as
// CR LF. Binary mode is the identity. Every result, every delivered byte and
// the file left behind must match the model.
//
// Input: a flags byte (bit 0 binary, bit 1 read-only), a 16-bit content
// length, the content, then operations: a kind byte and its arguments.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "fuzz/fuzz_files.h"
#include "platform/crt.h"

namespace {

const char FILE_NAME[] = "text.dat";
const char CR = 0x0D;
const char LF = 0x0A;
const char CTRL_Z = 0x1A;
const int MAX_OPERATIONS = 64;

void Check(bool holds) {
    if (!holds) __builtin_trap();
}

struct Model {
    std::string raw;  // the file's bytes
    long position = 0;
    bool text = true;
    bool writable = true;
    bool atCtrlZ = false;

    // What a read of count bytes gives; *marker is set when the read met
    // 0x1A, which then follows the delivered bytes in the buffer.
    std::string Read(unsigned count, bool* marker) {
        *marker = false;
        std::string out;
        const long size = static_cast<long>(raw.size());
        if (!text) {
            if (position < size) {
                out = raw.substr(position, count);
                position += static_cast<long>(out.size());
            }
            return out;
        }
        if (atCtrlZ || count == 0 || position >= size) return out;
        const long chunkEnd = std::min<long>(position + count, size);
        long next = chunkEnd;
        for (long in = position; in < chunkEnd; ++in) {
            const char byte = raw[in];
            if (byte == CTRL_Z) {
                atCtrlZ = true;
                *marker = true;
                next = in;
                break;
            }
            if (byte != CR) {
                out.push_back(byte);
            } else if (in + 1 < chunkEnd) {
                if (raw[in + 1] == LF) ++in;
                out.push_back(raw[in] == LF ? LF : CR);
            } else if (chunkEnd < size && raw[chunkEnd] == LF) {
                // The pair straddles the end of what was asked for: the LF
                // is taken too.
                out.push_back(LF);
                next = chunkEnd + 1;
            } else {
                out.push_back(CR);
            }
        }
        position = next;
        return out;
    }

    int Write(const std::string& bytes) {
        if (bytes.empty()) return 0;
        if (!writable) return -1;
        std::string put;
        for (char c : bytes) {
            if (text && c == LF) put.push_back(CR);
            put.push_back(c);
        }
        if (static_cast<size_t>(position) > raw.size()) raw.resize(position, '\0');
        raw.replace(position, std::min(put.size(), raw.size() - position), put);
        position += static_cast<long>(put.size());
        return static_cast<int>(bytes.size());
    }

    long Seek(long offset, int origin) {
        atCtrlZ = false;
        const long base = origin == SEEK_SET   ? 0
                          : origin == SEEK_CUR ? position
                                               : static_cast<long>(raw.size());
        if (base + offset < 0) return -1;
        position = base + offset;
        return position;
    }
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    fuzz::EnterPrivateFolder(argc, argv, "fuzz_crt_text");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) return 0;
    const uint8_t flags = data[0];
    size_t length = data[1] | data[2] << 8;
    size_t at = 3;
    if (length > size - at) length = size - at;
    const uint8_t* content = data + at;
    at += length;
    fuzz::WriteWholeFile(FILE_NAME, content, length);

    Model model;
    model.raw.assign(reinterpret_cast<const char*>(content), length);
    model.text = (flags & 1) == 0;
    model.writable = (flags & 2) == 0;
    if (model.text && model.writable && !model.raw.empty() && model.raw.back() == CTRL_Z) {
        model.raw.pop_back();
    }
    const int openFlag = (model.writable ? _O_RDWR : _O_RDONLY) | (model.text ? 0 : _O_BINARY);
    const int fd = _sopen(FILE_NAME, openFlag, _SH_DENYNO, _S_IREAD | _S_IWRITE);
    Check(fd != -1);

    for (int op = 0; op < MAX_OPERATIONS && at < size; ++op) {
        const uint8_t kind = data[at++];
        switch (kind % 4) {
            case 0:
            case 1: {
                if (at >= size) break;
                // Mostly short reads, now and then a long one.
                const unsigned count = (kind & 0x10) ? data[at++] * 16u : data[at++];
                std::unique_ptr<uint8_t[]> buffer(new uint8_t[count]);
                bool marker = false;
                const std::string expected = model.Read(count, &marker);
                const int got = _read(fd, buffer.get(), count);
                Check(got == static_cast<int>(expected.size()));
                Check(std::memcmp(buffer.get(), expected.data(), expected.size()) == 0);
                if (marker) Check(buffer[expected.size()] == CTRL_Z);
                break;
            }
            case 2: {
                if (size - at < 2) break;
                const int origin = (kind >> 2) % 3;
                const long offset = static_cast<int16_t>(data[at] | data[at + 1] << 8);
                at += 2;
                Check(_lseek(fd, offset, origin) == model.Seek(offset, origin));
                break;
            }
            default: {
                if (at >= size) break;
                const size_t wanted = data[at++] % 32;
                const size_t count = std::min(wanted, size - at);
                const std::string bytes(reinterpret_cast<const char*>(data + at), count);
                at += count;
                Check(_write(fd, bytes.data(), static_cast<unsigned>(count)) == model.Write(bytes));
                break;
            }
        }
    }
    Check(_close(fd) == 0);
    Check(fuzz::ReadWholeFile(FILE_NAME) == model.raw);
    return 0;
}
