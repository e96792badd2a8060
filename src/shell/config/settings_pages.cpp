#include "shell/config/settings_pages.h"

#include "shell/dialogs/untInstellingen.h"

// The dialog's pages are not built yet: it opens as it is.
void showSettingsPage(int) {
    if (frmInstellingen) frmInstellingen->show();
}
