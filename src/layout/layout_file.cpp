#include "layout/layout_file.h"

#include "shell/config_file.h"

// Until the layout file can be read, loading only settles the names through the configuration file.
int loadLayoutFile() {
    syncConfigFile();
    return 0;
}
