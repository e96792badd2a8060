#include "shell/model/settings.h"

Settings gSettings;
uint8_t gTimeBase = 1;

const char* const kScaleItems[kScaleItemCount] = {"II    1/22.5", "I     1/32", "0    1/45", "00   1/76",
                                                  "H0   1/87",    "TT   1/120", "N    1/160", "Z    1/220"};
const char* const kZoomItems[kZoomItemCount] = {"zeer klein", "klein", "normaal", "groot", "zeer groot"};
