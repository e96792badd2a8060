#include "shell/window/editor_readouts.h"

#include <QLabel>

#include "platform/text_codec.h"
#include "shell/window/untSchema.h"

namespace {
std::string gLineLengthText;
std::string gCursorPositionText;
}  // namespace

void setLineLengthReadout(const std::string& text) {
    gLineLengthText = text;
    if (frmSchema) frmSchema->lblLijnlengte->setText(vestrel::fromCp1252(text));
}

void setCursorPositionReadout(const std::string& text) {
    gCursorPositionText = text;
    if (frmSchema) frmSchema->lblCurPos->setText(vestrel::fromCp1252(text));
}

const std::string& lineLengthReadout() { return gLineLengthText; }
const std::string& cursorPositionReadout() { return gCursorPositionText; }
