#pragma once
// The demo text file: an introduction line, then for each demo a line beginning with '#', the demo's
// title and one explanation line per text advance. Lines are 8-bit Windows text of any length.
#include <fstream>
#include <string>

class DemoScript {
public:
    // Opens the file (a "demo\..." name, found without regard to case); false when it cannot be read.
    bool open(const std::string& windowsPath);
    void close();
    bool isOpen() const { return in_.is_open(); }
    // The next whole line without its line end ("\r\n" or "\n"); false at the end of the file.
    bool readLine(std::string& line);
    // Skips lines up to and including the n-th further line that begins with '#'; false at the end.
    bool skipToChapter(int n);

private:
    std::ifstream in_;
};

extern DemoScript gDemoScript;  // open while a demo runs
