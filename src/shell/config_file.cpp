#include "shell/config_file.h"

#include "layout/layout_model.h"

void syncConfigFile() {
    if (gLayoutFileName.empty()) gLayoutFileName = kNoNameLayout;
}
