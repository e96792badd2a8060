#include "shell/dialogs/untBestandOpenen.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>
#include <cstdio>

#include "layout/editor/editor_state.h"
#include "layout/files/layout_file.h"
#include "layout/frame/render.h"
#include "layout/model/layout_model.h"
#include "operation/files/loco_file.h"
#include "platform/paths.h"
#include "platform/text_codec.h"
#include "shell/config/config_file.h"
#include "shell/config/messages.h"
#include "shell/model/app_state.h"
#include "shell/window/form_setup.h"

TfrmBestandOpenen* frmBestandOpenen = nullptr;

namespace {

constexpr int kFileChooser = 2;  // gActiveDialog while the chooser is open
constexpr uint32_t kLocoOpen = 25;
constexpr uint32_t kLocoDelete = 28;

std::string withExtension(const std::string& name, const char* ext) {
    return name.size() >= 3 ? name.substr(0, name.size() - 3) + ext : name;
}

}  // namespace

TfrmBestandOpenen::TfrmBestandOpenen(QWidget* parent) : TFormDialog(parent) {
    setupForm(this, "frmBestandOpenen", "Bestand opvragen", 240, 300);
    FileListBox1 = new QListWidget(this);
    FileListBox1->setObjectName("FileListBox1");
    FileListBox1->setGeometry(10, 10, 220, 240);
    FileListBox1->viewport()->installEventFilter(this);
    FileListBox1->installEventFilter(this);
    btnAnnuleren = new QPushButton("Annuleren", this);
    btnAnnuleren->setObjectName("btnAnnuleren");
    btnAnnuleren->setGeometry(80, 262, 80, 25);
    connect(btnAnnuleren, &QPushButton::clicked, this, [this] { btnAnnulerenClick(); });
}

void TfrmBestandOpenen::FormActivate() {
    gActiveDialog = kFileChooser;
    const uint32_t m = gEditMode;
    const bool layouts = m == kEditOpenLayout || m == kEditDeleteLayout;
    if (m == kEditOpenLayout) setWindowTitle("Bestand openen");
    if (m == kEditDeleteLayout) setWindowTitle("Bestand verwijderen");
    if (m == kLocoOpen) setWindowTitle("Locbestand openen");
    if (m == kLocoDelete) setWindowTitle("Locbestand verwijderen");
    FileListBox1->clear();
    for (const std::string& name : vestrel::filesWithExtension(layouts ? ".vtl" : ".loc"))
        FileListBox1->addItem(vestrel::fromCp1252(name));
    FileListBox1->setFocus();
}

void TfrmBestandOpenen::FileListBox1Choose() {
    const QListWidgetItem* item = FileListBox1->currentItem();
    const std::string name = item ? vestrel::toCp1252(item->text()) : std::string();
    // Nothing chosen: the pending action waits for a file.
    if (name.empty()) return;
    if (static_cast<int>(name.size()) > kFileNameMax) {
        char text[64];
        std::snprintf(text, sizeof text, "Max. naamlengte = %d", kFileNameMax);
        showDialogMessage(text, 1);
        return;
    }
    const uint32_t m = gEditMode;
    close();
    if (m == kEditOpenLayout) {
        gLayoutFileName = name;
        gLocoFileName = withExtension(name, "loc");
        loadLayoutFile();
    } else if (m == kEditDeleteLayout) {
        if (showDialogMessage("Bent u zeker dat u dit bestand wilt verwijderen ?", 2) == 1) deleteLayoutFiles(name);
    } else if (m == kLocoOpen) {
        gLocoFileName = name;
        loadLocoFile(0);
        updateTitleBar();
        syncConfigFile();
    } else if (m == kLocoDelete) {
        if (showDialogMessage("Bent u zeker dat u dit locbestand en het functiedecoderbestand wilt verwijderen ?", 2) != 1)
            return;
        std::remove(vestrel::resolvePath(name).c_str());
        std::remove(vestrel::resolvePath(withExtension(name, "fdc")).c_str());
        if (name == gLocoFileName) loadLocoFile(0);
    }
}

void TfrmBestandOpenen::FormClose() {
    gEditMode = 0;
    gActiveDialog = 0;
}

void TfrmBestandOpenen::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormActivate();
}

void TfrmBestandOpenen::closeEvent(QCloseEvent* event) {
    FormClose();
    QDialog::closeEvent(event);
}

void TfrmBestandOpenen::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape)
        btnAnnuleren->click();
    else
        QDialog::keyPressEvent(event);
}

bool TfrmBestandOpenen::eventFilter(QObject* watched, QEvent* event) {
    if (watched == FileListBox1->viewport() && event->type() == QEvent::MouseButtonRelease) {
        // The list takes its choice from the press; the release acts on it.
        QMetaObject::invokeMethod(this, [this] { FileListBox1Choose(); }, Qt::QueuedConnection);
    } else if (watched == FileListBox1 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            FileListBox1Choose();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
