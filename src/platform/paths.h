#pragma once
// File names written the Windows way ("demo\\", "foto\\loc\\") are relative paths with '/' here,
// looked up in the working folder without regard to case (files copied from Windows keep odd cases).
#include <string>
#include <vector>

namespace vestrel {

std::string toLocalPath(const std::string& windowsPath);
// The existing file whose path matches without regard to case, component by component; when there is
// none, the path with '/' as it would be created.
std::string resolvePath(const std::string& windowsPath);
bool fileExists(const std::string& windowsPath);
// The current working folder, whole (no length limit).
std::string currentDirectory();
// The names of the regular files in the working folder that end in the extension (".vtl"), without
// regard to case, sorted.
std::vector<std::string> filesWithExtension(const std::string& extension);

}  // namespace vestrel
