#include "platform/byte_io.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vestrel {

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

void ByteWriter::bytes(const void* p, size_t n) {
    const auto* b = static_cast<const uint8_t*>(p);
    buf_.insert(buf_.end(), b, b + n);
}

bool readWholeFile(const std::string& path, std::vector<uint8_t>& out) {
    out.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && st.st_size > 0) out.reserve(static_cast<size_t>(st.st_size));
    bool ok = true;
    uint8_t chunk[65536];
    for (;;) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) ok = false;
        if (n <= 0) break;
        out.insert(out.end(), chunk, chunk + n);
    }
    ::close(fd);
    return ok;
}

bool writeFileAtomic(const std::string& path, const std::vector<uint8_t>& data, bool sync) {
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
    bool ok = done == data.size() && (!sync || ::fsync(fd) == 0);
    ok = (::close(fd) == 0) && ok;
    if (ok) ok = std::rename(tmp.c_str(), path.c_str()) == 0;
    if (!ok) ::unlink(tmp.c_str());
    return ok;
}

bool RewrittenFile::open(const std::string& path) {
    close();
    fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    return fd_ >= 0;
}

bool RewrittenFile::rewrite(const void* data, size_t size) {
    if (fd_ < 0) return false;
    const auto* bytes = static_cast<const uint8_t*>(data);
    size_t done = 0;
    while (done < size) {
        const ssize_t w = ::pwrite(fd_, bytes + done, size - done, static_cast<off_t>(done));
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) break;
        done += static_cast<size_t>(w);
    }
    bool ok = done == size && ::ftruncate(fd_, static_cast<off_t>(size)) == 0;
    ok = ::close(fd_) == 0 && ok;
    fd_ = -1;
    return ok;
}

void RewrittenFile::close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

bool copyWholeFile(const std::string& from, const std::string& to) {
    std::vector<uint8_t> data;
    // The new file is made with the usual rights, so a copy of a read-only file can be written again.
    return readWholeFile(from, data) && writeFileAtomic(to, data);
}

}  // namespace vestrel
