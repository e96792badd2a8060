#include "shell/dialogs/untBestandNieuw.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <cstdio>
#include <cstring>
#include <strings.h>

#include "layout/editor/editor_state.h"
#include "layout/files/layout_file.h"
#include "layout/frame/render.h"
#include "layout/model/layout_model.h"
#include "layout/model/scale.h"
#include "operation/files/loco_file.h"
#include "platform/byte_io.h"
#include "platform/paths.h"
#include "platform/text_codec.h"
#include "shell/config/config_file.h"
#include "shell/config/help.h"
#include "shell/config/messages.h"
#include "shell/model/app_state.h"
#include "shell/model/settings.h"
#include "shell/window/form_setup.h"
#include "shell/window/mouse_pointer.h"

TfrmBestandNieuw* frmBestandNieuw = nullptr;

namespace {

constexpr int kNameDialog = 1;  // gActiveDialog while the dialog is open
constexpr int kNameMax = 20;
constexpr uint32_t kLocoNew = 24;
constexpr uint32_t kLocoSaveAs = 27;

bool layoutMode(uint32_t m) { return m == kEditNewLayout || m == kEditSaveLayoutAs; }
bool locoMode(uint32_t m) { return m == kLocoNew || m == kLocoSaveAs; }

std::string withExtension(const std::string& name, const char* ext) {
    return name.size() >= 3 ? name.substr(0, name.size() - 3) + ext : name;
}

bool existsWithoutRegardToCase(const std::string& name, const char* extension) {
    for (const std::string& existing : vestrel::filesWithExtension(extension))
        if (::strcasecmp(existing.c_str(), name.c_str()) == 0) return true;
    return false;
}

// Companion files may be missing: a failed copy of one is no error.
void copyCompanion(const std::string& from, const std::string& to) {
    if (vestrel::fileExists(from)) vestrel::copyWholeFile(vestrel::resolvePath(from), vestrel::resolvePath(to));
}

// The layout as it stands goes to the new name: saved when it has changes (or was never written),
// else copied. 0 (the user told) when the new file could not be made.
int putLayoutUnder(const std::string& oldName, const std::string& newName) {
    if (gDirtyFlags != 0 || !vestrel::fileExists(oldName)) {
        const std::string kept = gLayoutFileName;
        gLayoutFileName = newName;
        const int saved = saveLayoutFile();
        gLayoutFileName = kept;
        return saved;
    }
    if (vestrel::copyWholeFile(vestrel::resolvePath(oldName), vestrel::resolvePath(newName))) return 1;
    showDialogMessage("Kan bestand '" + newName + "' niet openen !", 1);
    return 0;
}

QLabel* makeLabel(QWidget* parent, const char* name, const char* caption, int x, int y) {
    auto* l = new QLabel(caption, parent);
    l->setObjectName(name);
    l->move(x, y);
    return l;
}

QPushButton* makeButton(QWidget* parent, const char* name, const char* caption, int x, int y) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setGeometry(x, y, 80, 25);
    return b;
}

}  // namespace

std::string withoutForbiddenCharacters(const std::string& name) {
    std::string out;
    for (const char c : name) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 32 || u == 127 || std::strchr("\\/:*?\"<>|", c)) continue;
        out += c;
    }
    return out;
}

TfrmBestandNieuw::TfrmBestandNieuw(QWidget* parent) : TFormDialog(parent) {
    setupForm(this, "frmBestandNieuw", "Nieuw Bestand", 320, 190);
    char caption[64];
    std::snprintf(caption, sizeof caption, "Bestandsnaam (max %d karakters) : ", kNameMax);
    lblNaam = makeLabel(this, "lblNaam", caption, 10, 12);
    edtNaam = new QLineEdit(this);
    edtNaam->setObjectName("edtNaam");
    edtNaam->setMaxLength(kNameMax);
    edtNaam->setGeometry(10, 32, 300, 22);
    lblSchaal = makeLabel(this, "lblSchaal", "Modelspoorschaal", 10, 66);
    cboSchaal = new QComboBox(this);
    cboSchaal->setObjectName("cboSchaal");
    for (const char* item : kScaleItems) cboSchaal->addItem(item);
    cboSchaal->setGeometry(130, 62, 120, 22);
    chboVarWissel = new QCheckBox("variabele wisselafmeting", this);
    chboVarWissel->setObjectName("chboVarWissel");
    chboVarWissel->setGeometry(10, 92, 200, 20);
    lblZoom = makeLabel(this, "lblZoom", "Zoomfactor", 10, 122);
    cboZoom = new QComboBox(this);
    cboZoom->setObjectName("cboZoom");
    for (const char* item : kZoomItems) cboZoom->addItem(item);
    cboZoom->setGeometry(130, 118, 120, 22);
    btnOK = makeButton(this, "btnOK", "OK", 10, 155);
    btnAnnuleren = makeButton(this, "btnAnnuleren", "Annuleren", 120, 155);
    btnHelp = makeButton(this, "btnHelp", "Help", 230, 155);
    connect(edtNaam, &QLineEdit::textChanged, this, [this] { edtNaamChange(); });
    connect(btnOK, &QPushButton::clicked, this, [this] { btnOKClick(); });
    connect(btnAnnuleren, &QPushButton::clicked, this, [this] { btnAnnulerenClick(); });
    connect(btnHelp, &QPushButton::clicked, this, [] { showHelpTopic(5); });
}

void TfrmBestandNieuw::FormActivate() {
    if (gActiveDialog == kNameDialog) return;
    showMousePointer();
    edtNaam->clear();
    const uint32_t m = gEditMode;
    if (m == kEditSaveLayoutAs) {
        cboSchaal->setCurrentIndex(gScaleDigit - '1');
        chboVarWissel->setChecked(gTurnoutSizeMode != 0);
        cboZoom->setCurrentIndex(gZoomDigit - '1');
    } else {
        cboSchaal->setCurrentIndex(4);
        chboVarWissel->setChecked(false);
        cboZoom->setCurrentIndex(2);
    }
    const bool free = gDemoStep == 0;
    btnOK->setEnabled(free);
    btnAnnuleren->setEnabled(free);
    edtNaam->setEnabled(free);
    if (free) edtNaam->setFocus();
    const bool layoutControls = !locoMode(m);
    for (QWidget* w : {static_cast<QWidget*>(lblSchaal), static_cast<QWidget*>(cboSchaal),
                       static_cast<QWidget*>(chboVarWissel), static_cast<QWidget*>(lblZoom),
                       static_cast<QWidget*>(cboZoom)}) {
        w->setVisible(layoutControls);
        w->setEnabled(m == kEditNewLayout);
    }
    gActiveDialog = kNameDialog;
}

// Typed or pasted, every character a file name cannot hold goes; the caret keeps its place among the rest.
void TfrmBestandNieuw::edtNaamChange() {
    const QString text = edtNaam->text();
    const std::string before = vestrel::toCp1252(text);
    const std::string kept = withoutForbiddenCharacters(before);
    if (kept == before) return;
    const int caret = edtNaam->cursorPosition();
    const int keptBeforeCaret =
        static_cast<int>(withoutForbiddenCharacters(vestrel::toCp1252(text.left(caret))).size());
    edtNaam->setText(vestrel::fromCp1252(kept));
    edtNaam->setCursorPosition(keptBeforeCaret);
}

void TfrmBestandNieuw::btnOKClick() {
    std::string name = vestrel::toCp1252(edtNaam->text());
    const char scaleDigit = static_cast<char>(cboSchaal->currentIndex() + 49);
    const uint8_t sizeMode = chboVarWissel->isChecked() ? 1 : 0;
    const char zoomDigit = static_cast<char>(cboZoom->currentIndex() + 49);
    if (name.empty()) return;
    const uint32_t m = gEditMode;
    const bool layout = layoutMode(m);
    name += layout ? ".vtl" : ".loc";
    if (existsWithoutRegardToCase(name, layout ? ".vtl" : ".loc")) {
        showDialogMessage("Het ingegeven bestand bestaat reeds ! ", 1);
        return;
    }
    gActiveDialog = 0;
    hide();
    if (m == kEditSaveLayoutAs) {
        // The configuration names the new file only once it exists.
        const std::string oldName = gLayoutFileName;
        if (!putLayoutUnder(oldName, name)) {
            finish();
            return;
        }
        gLayoutFileName = name;
        gLocoFileName = withExtension(name, "loc");
        updateTitleBar();
        syncConfigFile();
        for (const char* ext : {"loc", "trj", "stp", "fdc"})
            copyCompanion(withExtension(oldName, ext), withExtension(name, ext));
    } else if (m == kEditNewLayout) {
        setScaleParameters(zoomDigit, scaleDigit, sizeMode);
        clearLayout();
        drawBackground(1);
        gVisibleLayers = 7;
        gLayoutFileName = name;
        gLocoFileName = withExtension(name, "loc");
        updateTitleBar();
        syncConfigFile();
    } else if (m == kLocoSaveAs) {
        const std::string oldName = gLocoFileName;
        gLocoFileName = name;
        if (!saveLocoFile()) {
            gLocoFileName = oldName;
            finish();
            return;
        }
        updateTitleBar();
        syncConfigFile();
        copyCompanion(withExtension(oldName, "fdc"), withExtension(name, "fdc"));
    } else if (m == kLocoNew) {
        gLocoFileName = name;
        loadLocoFile(0);
        updateTitleBar();
        syncConfigFile();
    }
    finish();
}

// The dialog is hidden already, so closing it must not rely on the window's close event.
void TfrmBestandNieuw::finish() {
    close();
    FormClose();
}

void TfrmBestandNieuw::FormClose() {
    gEditMode = 0;
    gActiveDialog = 0;
}

void TfrmBestandNieuw::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormActivate();
}

void TfrmBestandNieuw::closeEvent(QCloseEvent* event) {
    FormClose();
    QDialog::closeEvent(event);
}

void TfrmBestandNieuw::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (key == Qt::Key_Escape) {
        if (btnAnnuleren->isEnabled()) btnAnnuleren->click();
    } else if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        if (btnOK->isEnabled()) btnOK->click();
    } else {
        QDialog::keyPressEvent(event);
    }
}
