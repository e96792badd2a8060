#include "layout/analysis/connection_report.h"

#include <charconv>
#include <cstdarg>
#include <cstdio>

#include "platform/desktop.h"
#include "platform/paths.h"

bool ConnectionReport::open(const std::string& path) {
    close();
    attention_ = false;
    text_.clear();
    return file_.open(path);
}

void ConnectionReport::write(const char* format, ...) {
    if (!file_.isOpen()) return;
    char line[512];
    va_list args;
    va_start(args, format);
    const int n = std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    if (n < 0) return;
    if (static_cast<size_t>(n) < sizeof line) {
        text_.append(line, static_cast<size_t>(n));
        return;
    }
    std::string longer(static_cast<size_t>(n) + 1, '\0');
    va_start(args, format);
    std::vsnprintf(longer.data(), longer.size(), format, args);
    va_end(args);
    text_.append(longer.data(), static_cast<size_t>(n));
}

void ConnectionReport::appendNumber(int value) {
    if (!file_.isOpen()) return;
    char digits[12];
    const std::to_chars_result r = std::to_chars(digits, digits + sizeof digits, value);
    text_.append(digits, r.ptr);
}

void ConnectionReport::close() {
    if (!file_.isOpen()) return;
    file_.rewrite(text_.data(), text_.size());
    text_.clear();
}

std::string connectionReportName(const std::string& layoutFileName) {
    size_t keep = layoutFileName.size() >= 3 ? layoutFileName.size() - 3 : 0;
    return layoutFileName.substr(0, keep) + "log";
}

bool showConnectionReport(const std::string& reportName) {
    std::string local = vestrel::resolvePath(reportName);
    if (local.empty() || local[0] != '/') local = vestrel::currentDirectory() + "/" + local;
    return vestrel::openWithDesktop(local);
}
