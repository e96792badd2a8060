#include "shell/config/settings_pages.h"

#include <QTabWidget>

#include "shell/dialogs/untInstellingen.h"

void showSettingsPage(int page) {
    if (!frmInstellingen) return;
    frmInstellingen->pctInstellingen->setCurrentIndex(page);
    frmInstellingen->showOrRefresh();
}
