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

    uint8_t u8();
    int8_t i8() { return static_cast<int8_t>(u8()); }
    char ch() { return static_cast<char>(u8()); }
    uint16_t u16();
    int16_t i16() { return static_cast<int16_t>(u16()); }
    uint32_t u32();
    int32_t i32() { return static_cast<int32_t>(u32()); }
    float f32();
    void bytes(void* out, size_t n);
    void skip(size_t n);
    // A sub-reader over the next n bytes (a fixed-size record); the parent moves past them.
    ByteReader sub(size_t n);

private:
    bool take(size_t n);
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
    void u16(uint16_t v);
    void i16(int16_t v) { u16(static_cast<uint16_t>(v)); }
    void u32(uint32_t v);
    void i32(int32_t v) { u32(static_cast<uint32_t>(v)); }
    void f32(float v);
    void bytes(const void* p, size_t n);
    void zeros(size_t n) { buf_.insert(buf_.end(), n, 0); }
    void text(const std::string& s) { bytes(s.data(), s.size()); }

private:
    std::vector<uint8_t> buf_;
};

// Whole-file helpers. writeFileAtomic writes a temporary file in the same folder and renames it
// over the target, so a failed save never destroys the previous good file.
bool readWholeFile(const std::string& path, std::vector<uint8_t>& out);
bool writeFileAtomic(const std::string& path, const std::vector<uint8_t>& data);

}  // namespace vestrel
