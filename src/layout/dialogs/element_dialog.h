#pragma once
// What the element dialogs share: modeless and stay-on-top, FormActivate when shown (and when the editor
// or the control post picks another element while the dialog is open), FormClose when closed, also by
// Esc; the space bar as the emergency stop of all trains while a session runs; "+/-" panels that step a
// number (left button up, right button down); labelled fields placed row by row.
#include <QLabel>
#include <functional>

#include "shell/window/form_dialog.h"

class QLineEdit;
class QPushButton;

class TElementDialog : public TFormDialog {
    Q_OBJECT
public:
    using TFormDialog::TFormDialog;
    virtual void FormActivate() = 0;
    virtual void FormClose() = 0;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // After the controls exist: the space bar of every control reaches the emergency stop.
    void watchKeys();
    // OK, Annuleren and Help in a row at top; Annuleren closes, Help opens the topic.
    void addButtons(int top, int helpTopic);

public:
    QPushButton* btnOK = nullptr;
    QPushButton* btnAnnuleren = nullptr;
    QPushButton* btnHelp = nullptr;
};

// A "+/-" panel: a press calls mouseDown with 1 for the left button and 2 for any other.
class TPlusMinPanel : public QLabel {
    Q_OBJECT
public:
    TPlusMinPanel(QWidget* parent, const char* name, std::function<void(int button)> mouseDown);

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    std::function<void(int)> mouseDown_;
};

// A label and a line edit of maxLength characters on one row.
QLineEdit* addNumberField(QWidget* form, const char* name, const QString& label, int maxLength, int top,
                          int left = 10, int labelWidth = 170);
int fieldValue(const QLineEdit* field);  // the typed number, 0 when it is none
void setFieldValue(QLineEdit* field, int value);

// gEditMode after a turnout, signal, output, input or connecting-track dialog closed: 0 in a session;
// in the editor a modify click (8) ends, a finished insertion (5) goes on, an element left waiting for
// this dialog starts again at the pointer (4). With no editor action pending (0) none is made.
void editModeAfterElementDialog();
