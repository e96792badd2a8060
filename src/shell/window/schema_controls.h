#pragma once
// Main-window controls that the layout code fills or places; the main window implements them.
#include <string>
#include <vector>

// Items of the turnout length (cboWissellengte) and width (cboWisselbreedte) choices.
void setTurnoutSizeItems(const std::vector<std::string>& lengths, const std::vector<std::string>& widths);
void selectTurnoutSizeItems(int lengthIndex, int widthIndex);
// Places the status groups, the clock label and imgSchema for a canvas of width x height.
void placeDiagramControls(int width, int height);
// Where the direction legend starts: grpBestand's right edge less 160, lblCurPos's top plus 8. False
// without main window.
bool directionLegendOrigin(int& x, int& y);
