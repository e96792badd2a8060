#include "shell/editor_readouts.h"

namespace {
std::string gLineLengthText;
std::string gCursorPositionText;
}  // namespace

void setLineLengthReadout(const std::string& text) { gLineLengthText = text; }
void setCursorPositionReadout(const std::string& text) { gCursorPositionText = text; }
const std::string& lineLengthReadout() { return gLineLengthText; }
const std::string& cursorPositionReadout() { return gCursorPositionText; }
