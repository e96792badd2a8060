#include "platform/byte_io.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace vestrel {

bool ByteReader::take(size_t n) {
    if (!ok_ || n > remaining()) {
        ok_ = false;
        pos_ = size_;
        return false;
    }
    return true;
}

uint8_t ByteReader::u8() {
    if (!take(1)) return 0;
    return data_[pos_++];
}

uint16_t ByteReader::u16() {
    if (!take(2)) return 0;
    uint16_t v = static_cast<uint16_t>(data_[pos_] | (data_[pos_ + 1] << 8));
    pos_ += 2;
    return v;
}

uint32_t ByteReader::u32() {
    if (!take(4)) return 0;
    uint32_t v = static_cast<uint32_t>(data_[pos_]) | (static_cast<uint32_t>(data_[pos_ + 1]) << 8) |
                 (static_cast<uint32_t>(data_[pos_ + 2]) << 16) | (static_cast<uint32_t>(data_[pos_ + 3]) << 24);
    pos_ += 4;
    return v;
}

float ByteReader::f32() {
    uint32_t bits = u32();
    float f;
    std::memcpy(&f, &bits, 4);
    return f;
}

void ByteReader::bytes(void* out, size_t n) {
    if (n == 0) return;
    if (!take(n)) {
        std::memset(out, 0, n);
        return;
    }
    std::memcpy(out, data_ + pos_, n);
    pos_ += n;
}

void ByteReader::skip(size_t n) {
    if (take(n)) pos_ += n;
}

ByteReader ByteReader::sub(size_t n) {
    if (!take(n)) {
        ByteReader r(nullptr, 0);
        r.ok_ = false;
        return r;
    }
    ByteReader r(data_ + pos_, n);
    pos_ += n;
    return r;
}

void ByteWriter::u16(uint16_t v) {
    buf_.push_back(static_cast<uint8_t>(v));
    buf_.push_back(static_cast<uint8_t>(v >> 8));
}

void ByteWriter::u32(uint32_t v) {
    for (int i = 0; i < 4; ++i) buf_.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void ByteWriter::f32(float v) {
    uint32_t bits;
    std::memcpy(&bits, &v, 4);
    u32(bits);
}

void ByteWriter::bytes(const void* p, size_t n) {
    const auto* b = static_cast<const uint8_t*>(p);
    buf_.insert(buf_.end(), b, b + n);
}

bool readWholeFile(const std::string& path, std::vector<uint8_t>& out) {
    out.clear();
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    uint8_t chunk[65536];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) out.insert(out.end(), chunk, chunk + n);
    bool ok = !std::ferror(f);
    std::fclose(f);
    return ok;
}

bool writeFileAtomic(const std::string& path, const std::vector<uint8_t>& data) {
    std::string tmp = path + ".tmp~";
    int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) return false;
    size_t done = 0;
    while (done < data.size()) {
        ssize_t w = ::write(fd, data.data() + done, data.size() - done);
        if (w < 0) {
            if (errno == EINTR) continue;
            break;
        }
        done += static_cast<size_t>(w);
    }
    bool ok = done == data.size() && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (ok) ok = std::rename(tmp.c_str(), path.c_str()) == 0;
    if (!ok) ::unlink(tmp.c_str());
    return ok;
}

}  // namespace vestrel
