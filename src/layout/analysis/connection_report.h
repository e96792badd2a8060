#pragma once
// The connection report "<layout>.log": a plain text file, gathered in memory while the connections are
// traced and listed and written in one go on close, shown to the user when it holds something that
// needs attention.
#include <string>
#include <string_view>

#include "platform/byte_io.h"

class ConnectionReport {
public:
    ConnectionReport() = default;
    ConnectionReport(const ConnectionReport&) = delete;
    ConnectionReport& operator=(const ConnectionReport&) = delete;
    ~ConnectionReport() { close(); }

    // Opens the file; false when it cannot be written. On close the text replaces what it held.
    bool open(const std::string& path);
    bool isOpen() const { return file_.isOpen(); }
    // printf-style line(s); nothing happens while the file is not open.
    void write(const char* format, ...) __attribute__((format(printf, 2, 3)));
    // Text as it stands, and a number in decimal (as "%d" writes it): for the long listings.
    void append(std::string_view text) {
        if (file_.isOpen()) text_.append(text);
    }
    void appendNumber(int value);
    void close();

    // Something in the report needs the user's attention: the file is opened for them when done.
    void markAttention() { attention_ = true; }
    bool needsAttention() const { return attention_; }

private:
    vestrel::RewrittenFile file_;
    std::string text_;
    bool attention_ = false;
};

// The report's name: the layout file name with its last three characters replaced by "log".
std::string connectionReportName(const std::string& layoutFileName);
// Opens the report (a name relative to the working folder) with the desktop's text viewer, by its
// full path however long the folder's name is.
bool showConnectionReport(const std::string& reportName);
