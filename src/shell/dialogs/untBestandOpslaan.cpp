#include "shell/dialogs/untBestandOpslaan.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

#include "layout/editor/editor_state.h"
#include "layout/model/layout_model.h"
#include "layout/dialogs/untEerstePunt.h"
#include "operation/files/loco_file.h"
#include "platform/text_codec.h"
#include "shell/model/app_state.h"
#include "shell/window/form_setup.h"
#include "shell/main/session.h"
#include "shell/dialogs/untBestandNieuw.h"
#include "shell/dialogs/untBestandOpenen.h"
#include "shell/window/untSchema.h"

TfrmBestandOpslaan* frmBestandOpslaan = nullptr;

namespace {

constexpr int kTextWidth = 280;
constexpr int kMargin = 12;
constexpr int kSaveQuestion = 3;  // gActiveDialog while the question is open

// Pending actions of the control post that ask about the locomotive file.
constexpr uint32_t kSessionWithTrack = 12;
constexpr uint32_t kSessionWithoutTrack = 13;
constexpr uint32_t kLocoNew = 24;
constexpr uint32_t kLocoOpen = 25;
constexpr uint32_t kLocoOther = 26;

bool sessionMode(uint32_t m) { return m == kSessionWithTrack || m == kSessionWithoutTrack; }
bool locoFileMode(uint32_t m) { return m >= kLocoNew && m <= kLocoOther; }

// The next dialog of the action takes over the pending mode, so closing the question leaves it.
void handOverTo(QDialog* form) {
    gActiveDialog = 0;
    if (!form) return;
    form->show();
    form->raise();
    form->activateWindow();
}

std::string locoQuestion() {
    std::string name = gLocoFileName;
    if (name.empty()) name = gLayoutFileName.size() > 4 ? gLayoutFileName.substr(0, gLayoutFileName.size() - 4) : "";
    return "Wilt u de locs opslaan in bestand " + name + "?";
}

void closeMainWindow() {
    if (frmSchema) frmSchema->close();
}

}  // namespace

TfrmBestandOpslaan::TfrmBestandOpslaan(QWidget* parent) : TFormDialog(parent) {
    setupForm(this, "frmBestandOpslaan", "Bestand Opslaan", kTextWidth + 2 * kMargin, 100);
    lblTekst = new QLabel(this);
    lblTekst->setObjectName("lblTekst");
    lblTekst->setWordWrap(true);
    lblTekst->move(kMargin, kMargin);
    btnJa = new QPushButton("Ja", this);
    btnJa->setObjectName("btnJa");
    btnNeen = new QPushButton("Neen", this);
    btnNeen->setObjectName("btnNeen");
    btnAnnuleren = new QPushButton("Annuleren", this);
    btnAnnuleren->setObjectName("btnAnnuleren");
    connect(btnJa, &QPushButton::clicked, this, [this] { btnJaClick(); });
    connect(btnNeen, &QPushButton::clicked, this, [this] { btnNeenClick(); });
    connect(btnAnnuleren, &QPushButton::clicked, this, [this] { btnAnnulerenClick(); });
    setTekst(std::string());
}

void TfrmBestandOpslaan::setTekst(const std::string& text) {
    tekst_ = text;
    lblTekst->setText(vestrel::fromCp1252(text));
    lblTekst->setFixedWidth(kTextWidth);
    lblTekst->setFixedHeight(std::max(16, lblTekst->heightForWidth(kTextWidth)));
    const int top = lblTekst->y() + lblTekst->height() + kMargin;
    btnJa->setGeometry(kMargin, top, 80, 25);
    btnNeen->setGeometry(kMargin + 100, top, 80, 25);
    btnAnnuleren->setGeometry(kMargin + 200, top, 80, 25);
    resize(kTextWidth + 2 * kMargin, top + 25 + kMargin);
}

// The question names what would be lost: the layout, or the locomotives of the locomotive file.
void TfrmBestandOpslaan::FormActivate() {
    gActiveDialog = kSaveQuestion;
    const uint32_t m = gEditMode;
    const bool layoutModified = gDirtyFlags != 0;
    if ((m == kEditNewLayout || m == kEditOpenLayout || m == kEditExit) && layoutModified)
        setTekst("Wilt u de spoorbaan opslaan ?");
    else if (sessionMode(m) || locoFileMode(m) || (m == kEditExit && gLocoDataModified))
        setTekst(locoQuestion());
}

void TfrmBestandOpslaan::btnJaClick() {
    const uint32_t m = gEditMode;
    if (sessionRunning() && sessionMode(m)) {
        hide();
        gActiveDialog = 0;
        // A locomotive file that could not be written must not be lost with the stop: the session
        // stays, with its trains and their unsaved changes.
        if (saveLocoFile())
            toggleControlPostSession(static_cast<int>(m));
        else
            gEditMode = 0;
    } else if (sessionRunning() && locoFileMode(m)) {
        saveLocoFile();
        if (m == kLocoNew) handOverTo(frmBestandNieuw);
        if (m == kLocoOpen) handOverTo(frmBestandOpenen);
    } else if (sessionRunning() && !gDirtyFlags) {
        saveLocoFile();
        closeMainWindow();
    } else {
        // The direction question checks the layout's directions, saves it and goes on with the action.
        hide();
        gActiveDialog = 0;
        if (frmEerstePunt) frmEerstePunt->FormActivate();
    }
    close();
}

void TfrmBestandOpslaan::btnNeenClick() {
    const uint32_t m = gEditMode;
    if (sessionMode(m)) {
        hide();
        gActiveDialog = 0;
        toggleControlPostSession(static_cast<int>(m));
    } else if (m == kEditNewLayout || m == kLocoNew) {
        handOverTo(frmBestandNieuw);
    } else if (m == kEditOpenLayout || m == kLocoOpen) {
        handOverTo(frmBestandOpenen);
    } else if (m != kLocoOther) {
        // Leaving without saving: nothing is modified any more, so the main window may close.
        gLocoDataModified = 0;
        gDirtyFlags = 0;
        hide();
        gActiveDialog = 0;
        closeMainWindow();
    }
    close();
}

void TfrmBestandOpslaan::FormClose() {
    if (gActiveDialog != kSaveQuestion) return;
    gEditMode = 0;
    gActiveDialog = 0;
}

void TfrmBestandOpslaan::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormActivate();
    btnJa->setFocus();
}

void TfrmBestandOpslaan::closeEvent(QCloseEvent* event) {
    FormClose();
    QDialog::closeEvent(event);
}

void TfrmBestandOpslaan::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape)
        btnAnnuleren->click();
    else
        QDialog::keyPressEvent(event);
}
