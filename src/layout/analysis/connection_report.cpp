#include "layout/analysis/connection_report.h"

#include <cstdarg>

#include "platform/desktop.h"
#include "platform/paths.h"

bool ConnectionReport::open(const std::string& path) {
    close();
    attention_ = false;
    file_ = std::fopen(path.c_str(), "w");
    return file_ != nullptr;
}

void ConnectionReport::write(const char* format, ...) {
    if (!file_) return;
    va_list args;
    va_start(args, format);
    std::vfprintf(file_, format, args);
    va_end(args);
}

void ConnectionReport::close() {
    if (file_) std::fclose(file_);
    file_ = nullptr;
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
