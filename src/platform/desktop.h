#pragma once
// Opening a file with the desktop's default program for its type (the connection report in the
// text viewer, help pages in the browser), and starting another program of ours.
#include <functional>
#include <string>

namespace vestrel {

// Opens the file at path (a local path, any length) with the desktop's default program.
// Returns false when nothing could be started.
bool openWithDesktop(const std::string& path);

// Replaces what openWithDesktop does (tests record the path instead of starting a program);
// an empty function restores the desktop.
using DesktopOpener = std::function<bool(const std::string& path)>;
void setDesktopOpener(DesktopOpener opener);

// Starts the program at path (the animation viewer) on its own, without waiting for it. Returns false
// when it could not be started.
bool startProgram(const std::string& path);
// Replaces what startProgram does (tests record the path); an empty function restores it.
void setProgramStarter(DesktopOpener starter);

}  // namespace vestrel
