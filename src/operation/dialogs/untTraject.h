#pragma once
// Route editor: in the editor it creates, changes or deletes a route (blocks clicked on the diagram,
// departure, wait and speed typed in the grid); during a session it shows the route of a locomotive on
// the track, gives it another route and marks the line the train is at.
#include <QStyledItemDelegate>

#include "shell/window/form_dialog.h"

class QComboBox;
class QLabel;
class QPushButton;
class QTableWidget;
struct LocoRec;

// The grid row of the line the shown train is at (-1 none) and the one marked before.
extern int gRouteMarkRow;
extern int gRouteMarkRowOld;
// The gRouteLines index of the grid's selected line, -1 none.
extern int gRouteSelectedLine;
// The position chosen last in the name list.
extern int gRouteListIndex;

class TfrmTraject;

// The grid's cell editors (with their masks) and its drawing (the mark of the train's line).
class TRouteGridDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit TRouteGridDelegate(TfrmTraject* form);
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

protected:
    bool eventFilter(QObject* editor, QEvent* event) override;

private:
    TfrmTraject* form_;
};

class TfrmTraject : public TFormDialog {
    Q_OBJECT
public:
    explicit TfrmTraject(QWidget* parent = nullptr);
    void FormActivate();
    void FormClose();
    // 1 when the key was taken (the space bar as the emergency stop).
    int FormKeyDown(QObject* target, int qtKey);
    void FormResize();
    void btnOpslaanClick();
    void btnAnnulerenClick();
    void btnHelpClick();
    void cboLocNummerClick();
    void cboTrajectNaamChange();
    void cboTrajectNaamClick();
    void btnVolgendBlokClick();
    void btnDupliceerClick();
    // Grid rows count from 1 (row 0 is the header), as the route's lines do.
    QString strgrdTrajectGetEditMask(int col, int row) const;
    void strgrdTrajectSetEditText(int col, int row, const QString& value);
    void strgrdTrajectKeyPress(int key);
    void strgrdTrajectSelectCell(int col, int row);

    void fillRouteGridRow(int line, int row);
    void clearRouteGridRow(int row);
    void fillRouteGrid();
    void clearRouteGrid();
    // The line (gRouteLines index) goes to the server or the clients when it was edited.
    void sendRouteLine(int line);

    // 0 closed, 14..17 the mode, 30 saved and closing.
    int Tag = 0;

    QLabel* lblTrajectNaam = nullptr;
    QComboBox* cboTrajectNaam = nullptr;
    QLabel* lblLoc = nullptr;
    QComboBox* cboLocNummer = nullptr;
    QTableWidget* strgrdTraject = nullptr;
    QPushButton* btnVolgendBlok = nullptr;
    QPushButton* btnDupliceer = nullptr;
    QPushButton* btnOpslaan = nullptr;
    QPushButton* btnAnnuleren = nullptr;
    QPushButton* btnHelp = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void firstActivation();
    void applyMode(int mode);
    void takeClickedBlock();
    void showLocoRoute();
    void refillLocoList();
    void listRouteNames();
    void selectGridRow(int row);
    int selectedRow() const;  // 1-based grid row
    void setCell(int row, int col, const QString& text);
    bool nameUsedByOther(const std::string& name) const;
    void chooseRouteInSession(int index);
    void chooseRouteInEditor(int index);
};

extern TfrmTraject* frmTraject;

// The session view refreshes when it shows this locomotive.
void refreshRouteDialogFor(const LocoRec* loco);
