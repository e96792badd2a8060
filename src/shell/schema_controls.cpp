#include "shell/schema_controls.h"

// Without a main window there are no controls to fill or place.
void setTurnoutSizeItems(const std::vector<std::string>&, const std::vector<std::string>&) {}
void selectTurnoutSizeItems(int, int) {}
void placeDiagramControls(int, int) {}
