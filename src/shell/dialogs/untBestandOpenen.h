#pragma once
// File chooser: opens or deletes a layout or locomotive file of the working folder; gEditMode says
// which.
#include <string>

#include "shell/window/form_dialog.h"

class QListWidget;
class QPushButton;

class TfrmBestandOpenen : public TFormDialog {
    Q_OBJECT
public:
    explicit TfrmBestandOpenen(QWidget* parent = nullptr);

    QListWidget* FileListBox1 = nullptr;
    QPushButton* btnAnnuleren = nullptr;

    void FormActivate();
    // Acts on the chosen file by the pending mode (a mouse release on the list or Enter).
    void FileListBox1Choose();
    void btnAnnulerenClick() { close(); }
    void FormClose();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
};

extern TfrmBestandOpenen* frmBestandOpenen;

// Names longer than this do not fit the configuration file or the network records.
constexpr int kFileNameMax = 25;
