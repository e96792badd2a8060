#pragma once
// Text in records and files is 8-bit Windows text (code page 1252); the GUI works in Unicode.
#include <QString>
#include <string>

namespace vestrel {

QString fromCp1252(const std::string& bytes);
QString fromCp1252(const char* bytes, size_t maxLen);  // stops at the first NUL or maxLen
// Characters code page 1252 cannot hold become '?'.
std::string toCp1252(const QString& text);

}  // namespace vestrel
