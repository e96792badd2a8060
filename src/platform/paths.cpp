#include "platform/paths.h"

#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <vector>

namespace vestrel {

std::string toLocalPath(const std::string& windowsPath) {
    std::string p = windowsPath;
    for (char& c : p)
        if (c == '\\') c = '/';
    return p;
}

static bool exists(const std::string& p) {
    struct stat st;
    return ::stat(p.c_str(), &st) == 0;
}

std::string resolvePath(const std::string& windowsPath) {
    std::string p = toLocalPath(windowsPath);
    if (p.empty() || exists(p)) return p;
    bool absolute = p[0] == '/';
    std::vector<std::string> parts;
    size_t start = absolute ? 1 : 0;
    while (start <= p.size()) {
        size_t slash = p.find('/', start);
        if (slash == std::string::npos) slash = p.size();
        parts.push_back(p.substr(start, slash - start));
        start = slash + 1;
    }
    std::string cur = absolute ? "/" : "";
    for (size_t i = 0; i < parts.size(); ++i) {
        const std::string& part = parts[i];
        std::string dir = cur.empty() ? "." : cur;
        std::string found = part;
        if (!part.empty() && part != "." && part != ".." && !exists(cur + part)) {
            if (DIR* d = ::opendir(dir.c_str())) {
                while (dirent* e = ::readdir(d)) {
                    if (::strcasecmp(e->d_name, part.c_str()) == 0) {
                        found = e->d_name;
                        break;
                    }
                }
                ::closedir(d);
            }
        }
        cur += found;
        if (i + 1 < parts.size()) cur += "/";
    }
    return cur;
}

bool fileExists(const std::string& windowsPath) { return exists(resolvePath(windowsPath)); }

std::string currentDirectory() {
    std::vector<char> buf(256);
    while (::getcwd(buf.data(), buf.size()) == nullptr) {
        if (buf.size() > (1u << 20)) return ".";
        buf.resize(buf.size() * 2);
    }
    return std::string(buf.data());
}

std::vector<std::string> filesWithExtension(const std::string& extension) {
    std::vector<std::string> names;
    DIR* dir = ::opendir(".");
    if (!dir) return names;
    while (const dirent* e = ::readdir(dir)) {
        const std::string name = e->d_name;
        if (name.size() <= extension.size()) continue;
        if (::strcasecmp(name.c_str() + name.size() - extension.size(), extension.c_str()) != 0) continue;
        struct stat st {};
        if (::stat(name.c_str(), &st) == 0 && S_ISREG(st.st_mode)) names.push_back(name);
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace vestrel
