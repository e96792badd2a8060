#pragma once
// Little-endian byte reader and writer for the binary files and network records.
// Records are written field by field at fixed offsets; nothing here knows about pointers.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace vestrel {

class ByteReader {
public:
    ByteReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    explicit ByteReader(const std::vector<uint8_t>& buf) : ByteReader(buf.data(), buf.size()) {}

    // Every read past the end yields 0 and marks the reader as failed; callers check ok() once per record.
    bool ok() const { return ok_; }
    size_t pos() const { return pos_; }
    size_t size() const { return size_; }
    size_t remaining() const { return pos_ < size_ ? size_ - pos_ : 0; }
    bool atEnd() const { return pos_ >= size_; }
    void seek(size_t p) { pos_ = p; }

    uint8_t u8() {
        if (!take(1)) return 0;
        return data_[pos_++];
    }
    int8_t i8() { return static_cast<int8_t>(u8()); }
    char ch() { return static_cast<char>(u8()); }
    uint16_t u16() {
        if (!take(2)) return 0;
        const uint16_t v = static_cast<uint16_t>(data_[pos_] | (data_[pos_ + 1] << 8));
        pos_ += 2;
        return v;
    }
    int16_t i16() { return static_cast<int16_t>(u16()); }
    uint32_t u32() {
        if (!take(4)) return 0;
        const uint32_t v = static_cast<uint32_t>(data_[pos_]) | (static_cast<uint32_t>(data_[pos_ + 1]) << 8) |
                           (static_cast<uint32_t>(data_[pos_ + 2]) << 16) |
                           (static_cast<uint32_t>(data_[pos_ + 3]) << 24);
        pos_ += 4;
        return v;
    }
    int32_t i32() { return static_cast<int32_t>(u32()); }
    float f32() {
        const uint32_t bits = u32();
        float f;
        std::memcpy(&f, &bits, 4);
        return f;
    }
    void bytes(void* out, size_t n);
    void skip(size_t n);
    // A sub-reader over the next n bytes (a fixed-size record); the parent moves past them.
    ByteReader sub(size_t n);

private:
    bool take(size_t n) {
        if (ok_ && n <= remaining()) return true;
        ok_ = false;
        pos_ = size_;
        return false;
    }
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
    bool ok_ = true;
};

class ByteWriter {
public:
    ByteWriter() = default;
    const std::vector<uint8_t>& data() const { return buf_; }
    std::vector<uint8_t>& data() { return buf_; }
    size_t size() const { return buf_.size(); }

    void u8(uint8_t v) { buf_.push_back(v); }
    void i8(int8_t v) { u8(static_cast<uint8_t>(v)); }
    void ch(char v) { u8(static_cast<uint8_t>(v)); }
    void u16(uint16_t v) {
        const uint8_t b[2] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8)};
        append(b, 2);
    }
    void i16(int16_t v) { u16(static_cast<uint16_t>(v)); }
    void u32(uint32_t v) {
        const uint8_t b[4] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
                              static_cast<uint8_t>(v >> 24)};
        append(b, 4);
    }
    void i32(int32_t v) { u32(static_cast<uint32_t>(v)); }
    void f32(float v) {
        uint32_t bits;
        std::memcpy(&bits, &v, 4);
        u32(bits);
    }
    void reserve(size_t n) { buf_.reserve(n); }
    void bytes(const void* p, size_t n);
    void zeros(size_t n) { buf_.insert(buf_.end(), n, 0); }
    void text(const std::string& s) { bytes(s.data(), s.size()); }

private:
    void append(const uint8_t* b, size_t n) {
        for (size_t i = 0; i < n; ++i) buf_.push_back(b[i]);
    }
    std::vector<uint8_t> buf_;
};

// Whole-file helpers. writeFileAtomic writes a temporary file in the same folder and renames it
// over the target, so a failed save never destroys the previous good file. Without sync the new file
// is not forced to the disk before the rename (for measuring what the rest of a save costs).
bool readWholeFile(const std::string& path, std::vector<uint8_t>& out);
bool writeFileAtomic(const std::string& path, const std::vector<uint8_t>& data, bool sync = true);
// A file whose whole content is written again in place: opened (made when missing) without emptying
// it, so that the file system neither frees its blocks nor forces the new text to the disk on close, as
// it does for a file emptied and written anew; rewrite() puts the content at its start and cuts off what
// lay beyond. For reports written again and again, never for a file that must survive a failed write.
class RewrittenFile {
public:
    RewrittenFile() = default;
    RewrittenFile(const RewrittenFile&) = delete;
    RewrittenFile& operator=(const RewrittenFile&) = delete;
    ~RewrittenFile() { close(); }
    bool open(const std::string& path);
    bool isOpen() const { return fd_ >= 0; }
    // Writes and closes; false when any of it failed.
    bool rewrite(const void* data, size_t size);
    void close();

private:
    int fd_ = -1;
};
// A byte-for-byte copy that is writable by its owner whatever the original's rights; an existing
// target is replaced. False when the original cannot be read or the copy cannot be written.
bool copyWholeFile(const std::string& from, const std::string& to);

}  // namespace vestrel
