#include "operation/dialogs/untTraject.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <cstdio>
#include <cstring>
#include <memory>

#include "layout/editor/editor_state.h"
#include "layout/editor/entry_aids.h"
#include "layout/model/layout_model.h"
#include "layout/model/parse_number.h"
#include "network/model/net_queue.h"
#include "network/model/net_state.h"
#include "operation/control/control_post.h"
#include "operation/control/emergency_stop.h"
#include "operation/control/loco_operation.h"
#include "operation/editor/route_editing.h"
#include "operation/engine/route_aspects.h"
#include "operation/files/route_file_io.h"
#include "operation/model/route_codec.h"
#include "operation/model/route_editor_state.h"
#include "operation/model/route_file.h"
#include "operation/model/train_model.h"
#include "platform/byte_io.h"
#include "platform/text_codec.h"
#include "shell/config/help.h"
#include "shell/config/messages.h"
#include "shell/model/app_state.h"
#include "shell/window/form_setup.h"

TfrmTraject* frmTraject = nullptr;
int gRouteMarkRow = -1;
int gRouteMarkRowOld = -1;
int gRouteSelectedLine = -1;
int gRouteListIndex = 0;

namespace {

constexpr uint8_t kRouteLineChanged = 0x04;
constexpr int kRouteNameLength = 20;
constexpr int kBelowGrid = 93;  // the form's height besides the grid: name box above, buttons below
const char* const kHeaders[4] = {"Blok", "Vertek(uur:min)", "Wachttijd(sec)", "Snelheid"};
const char* const kNoRoute = "*** geen ***";

bool demoRunning() { return gDemoStep != 0; }

int lineCount(const RouteRec* r) { return r ? r->endLine - r->firstLine : 0; }

QString routeName(const RouteRec* r) { return vestrel::fromCp1252(r->name, kRouteNameLength); }

// The 20 characters a route name keeps; the last byte of the name field is the route's index.
void setRouteName(RouteRec* r, const QString& text) {
    const std::string bytes = vestrel::toCp1252(text).substr(0, kRouteNameLength);
    std::memset(r->name, 0, kRouteNameLength + 1);
    std::memcpy(r->name, bytes.data(), bytes.size());
}

int lineBlockNumber(const RouteLineRec* line) {
    const ConnectionRec* c = routeLineConnection(line);
    return c && c->from ? c->from->number : 0;
}

QPushButton* button(QWidget* parent, const char* name, const char* text, int x, int y, int width) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setGeometry(x, y, width, 24);
    b->setAutoDefault(false);
    return b;
}

QLabel* label(QWidget* parent, const char* name, const char* text, int x, int y) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    l->move(x, y);
    return l;
}

}  // namespace

// --- the grid's editors and drawing ---

TRouteGridDelegate::TRouteGridDelegate(TfrmTraject* form) : QStyledItemDelegate(form), form_(form) {}

QWidget* TRouteGridDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex& index) const {
    auto* edit = new QLineEdit(parent);
    edit->setInputMask(form_->strgrdTrajectGetEditMask(index.column(), index.row() + 1));
    // The space bar stops all trains here too: a cell holds no text with blanks.
    edit->installEventFilter(form_);
    return edit;
}

void TRouteGridDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    auto* edit = static_cast<QLineEdit*>(editor);
    edit->setText(index.data().toString());
    edit->selectAll();
}

void TRouteGridDelegate::setModelData(QWidget* editor, QAbstractItemModel*, const QModelIndex& index) const {
    form_->strgrdTrajectSetEditText(index.column(), index.row() + 1, static_cast<QLineEdit*>(editor)->text());
}

void TRouteGridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    QStyledItemDelegate::paint(painter, option, index);
    if (index.column() != 0 || index.row() + 1 != gRouteMarkRow) return;
    // The train's line: its block cell covered in blue with the inverting pen.
    painter->save();
    painter->setCompositionMode(QPainter::RasterOp_NotSourceXorDestination);
    painter->fillRect(option.rect, QColor(0, 0, 255));
    painter->restore();
}

bool TRouteGridDelegate::eventFilter(QObject* editor, QEvent* event) {
    const bool enter = event->type() == QEvent::KeyPress &&
                       (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Return ||
                        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Enter);
    if (!enter) return QStyledItemDelegate::eventFilter(editor, event);
    // Enter stores the cell at once, so that the line it sends holds the edit.
    auto* widget = static_cast<QWidget*>(editor);
    emit commitData(widget);
    emit closeEditor(widget, QAbstractItemDelegate::NoHint);
    form_->strgrdTrajectKeyPress(13);
    return true;
}

// --- the form ---

TfrmTraject::TfrmTraject(QWidget* parent) : TFormDialog(parent) {
    setupForm(this, "frmTraject", "Gegevens Traject", 560, 400);
    lblTrajectNaam = label(this, "lblTrajectNaam", "Trajectnaam :", 10, 11);
    cboTrajectNaam = new QComboBox(this);
    cboTrajectNaam->setObjectName("cboTrajectNaam");
    cboTrajectNaam->setGeometry(95, 8, 180, 22);
    cboTrajectNaam->setInsertPolicy(QComboBox::NoInsert);
    lblLoc = label(this, "lblLoc", "Locomotief :", 290, 11);
    cboLocNummer = new QComboBox(this);
    cboLocNummer->setObjectName("cboLocNummer");
    cboLocNummer->setGeometry(370, 8, 70, 22);
    btnDupliceer = button(this, "btnDupliceer", "dupliceer", 450, 8, 80);

    strgrdTraject = new QTableWidget(1, 4, this);
    strgrdTraject->setObjectName("strgrdTraject");
    strgrdTraject->verticalHeader()->hide();
    strgrdTraject->verticalHeader()->setMinimumSectionSize(10);
    strgrdTraject->verticalHeader()->setDefaultSectionSize(20);
    strgrdTraject->setSelectionMode(QAbstractItemView::SingleSelection);
    strgrdTraject->setItemDelegate(new TRouteGridDelegate(this));
    int width = 0;
    for (int c = 0; c < 4; ++c) {
        strgrdTraject->setHorizontalHeaderItem(c, new QTableWidgetItem(kHeaders[c]));
        // As wide as its header and two blanks, and no narrower than the header needs when the
        // current column's header is drawn in bold.
        const int w = std::max(fontMetrics().horizontalAdvance(QString(kHeaders[c]) + "  "),
                               strgrdTraject->horizontalHeader()->sectionSizeHint(c));
        strgrdTraject->setColumnWidth(c, w);
        width += w;
    }
    // 38 pixels above the grid and 55 below it: the 93 that resizing keeps besides the grid.
    strgrdTraject->setGeometry(10, 38, width + 4 + strgrdTraject->verticalScrollBar()->sizeHint().width(), 200);
    const int below = strgrdTraject->geometry().bottom() + 1;
    btnVolgendBlok = button(this, "btnVolgendBlok", "Naar volgende lijn met hetzelfde bloknummer", 10, below + 3, 300);
    btnOpslaan = button(this, "btnOpslaan", "Gewijzigde tabellen opslaan", 10, below + 30, 180);
    btnAnnuleren = button(this, "btnAnnuleren", "Annuleren", 200, below + 30, 90);
    btnHelp = button(this, "btnHelp", "Help", 300, below + 30, 75);
    resize(std::max(560, strgrdTraject->geometry().right() + 11), strgrdTraject->height() + kBelowGrid);

    // Esc is "Annuleren"'s: the edited line still goes to the peers.
    setCancelButton(btnAnnuleren);
    connect(btnOpslaan, &QPushButton::clicked, this, &TfrmTraject::btnOpslaanClick);
    connect(btnAnnuleren, &QPushButton::clicked, this, &TfrmTraject::btnAnnulerenClick);
    connect(btnHelp, &QPushButton::clicked, this, &TfrmTraject::btnHelpClick);
    connect(btnVolgendBlok, &QPushButton::clicked, this, &TfrmTraject::btnVolgendBlokClick);
    connect(btnDupliceer, &QPushButton::clicked, this, &TfrmTraject::btnDupliceerClick);
    connect(cboLocNummer, &QComboBox::activated, this, &TfrmTraject::cboLocNummerClick);
    connect(cboTrajectNaam, &QComboBox::activated, this, &TfrmTraject::cboTrajectNaamClick);
    connect(strgrdTraject, &QTableWidget::currentCellChanged, this,
            [this](int row, int col, int, int) { strgrdTrajectSelectCell(col, row + 1); });
    installEventFilter(this);
    for (QWidget* w : findChildren<QWidget*>()) w->installEventFilter(this);
    cboTrajectNaam->view()->installEventFilter(this);
}

void TfrmTraject::setCell(int row, int col, const QString& text) {
    if (row < 1 || row > strgrdTraject->rowCount()) return;
    QTableWidgetItem* item = strgrdTraject->item(row - 1, col);
    if (!item) {
        item = new QTableWidgetItem;
        if (col == 0) item->setFlags(item->flags() & ~Qt::ItemIsEditable);
        strgrdTraject->setItem(row - 1, col, item);
    }
    item->setText(text);
}

void TfrmTraject::fillRouteGridRow(int line, int row) {
    const RouteLineRec* l = gRouteLines[line];
    if (!l) return;
    char time[16];
    std::snprintf(time, sizeof time, "%2.2d:%2.2d", static_cast<int>(l->hour), static_cast<int>(l->minute));
    setCell(row, 0, QString::number(lineBlockNumber(l)));
    setCell(row, 1, time);
    setCell(row, 2, QString::number(l->wait));
    setCell(row, 3, QString::number(l->speed));
}

void TfrmTraject::clearRouteGridRow(int row) {
    for (int c = 0; c < 4; ++c) setCell(row, c, QString());
}

void TfrmTraject::clearRouteGrid() {
    strgrdTraject->setRowCount(1);
    clearRouteGridRow(1);
}

void TfrmTraject::fillRouteGrid() {
    const int lines = lineCount(gCurRoute);
    strgrdTraject->setRowCount(lines + 1);
    for (int r = 1; r <= lines; ++r) fillRouteGridRow(gCurRoute->firstLine + r - 1, r);
    clearRouteGridRow(lines + 1);
}

int TfrmTraject::selectedRow() const { return strgrdTraject->currentRow() + 1; }

void TfrmTraject::selectGridRow(int row) {
    if (row >= 1 && row <= strgrdTraject->rowCount())
        strgrdTraject->setCurrentCell(row - 1, std::max(strgrdTraject->currentColumn(), 0));
}

void TfrmTraject::listRouteNames() {
    for (int i = 0; i < routeCount(); ++i) cboTrajectNaam->addItem(routeName(routeAt(i)));
    const int at = routeIndexOf(gCurRoute);
    const int offset = Tag == 17 ? 1 : 0;
    cboTrajectNaam->setCurrentIndex(at >= 0 ? at + offset : (offset ? 0 : -1));
}

void TfrmTraject::applyMode(int mode) {
    static const struct {
        int mode;
        const char* caption;
        const char* save;
    } kModes[] = {{14, "Toevoegen nieuw traject (dienstregeling)", "Traject opslaan"},
                  {15, "Wijzigen gegevens traject (dienstregeling)", "Trajecten opslaan"},
                  {16, "Verwijderen traject (dienstregeling)", "Traject verwijderen"},
                  {17, "Trajecttabellen (dienstregeling)", "Trajecten opslaan"}};
    for (const auto& m : kModes)
        if (m.mode == mode) {
            setWindowTitle(m.caption);
            btnOpslaan->setText(m.save);
        }
    cboTrajectNaam->setEditable(mode == 14 || mode == 15);
    if (QLineEdit* edit = cboTrajectNaam->lineEdit()) {
        edit->setMaxLength(kRouteNameLength);
        edit->installEventFilter(this);
        connect(edit, &QLineEdit::textEdited, this, &TfrmTraject::cboTrajectNaamChange, Qt::UniqueConnection);
    }
    switch (mode) {
    case 14: {
        gSelectedBlock = nullptr;
        // The route table may be full: the new route would have no place.
        if (gRoutes.full()) {
            showDialogMessage("Maximum wordt overschreden", 1);
            gCurRoute = nullptr;
            QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
            break;
        }
        auto route = std::make_unique<RouteRec>();
        route->firstLine = route->endLine = gRouteLineCount;
        gCurRoute = gRoutes.append(std::move(route));
        break;
    }
    case 15:
        gSelectedBlock = nullptr;
        btnDupliceer->show();
        break;
    case 16:
        strgrdTraject->setEnabled(false);
        gCurRoute = routeAt(0);
        break;
    case 17:
        btnAnnuleren->setText("Afsluiten");
        lblLoc->setEnabled(!demoRunning());
        cboLocNummer->setEnabled(!demoRunning());
        cboTrajectNaam->addItem(kNoRoute);
        break;
    default: break;
    }
}

void TfrmTraject::firstActivation() {
    btnDupliceer->hide();
    cboTrajectNaam->clear();
    cboTrajectNaam->setEditable(false);
    clearRouteGrid();
    gRouteMarkRow = gRouteMarkRowOld = -1;
    gRouteListIndex = 0;
    gRouteSelectedLine = -1;
    lblLoc->setEnabled(false);
    cboLocNummer->setEnabled(false);
    cboLocNummer->clear();
    const bool demo = demoRunning();
    for (QWidget* w : {static_cast<QWidget*>(strgrdTraject), static_cast<QWidget*>(btnOpslaan),
                       static_cast<QWidget*>(btnAnnuleren), static_cast<QWidget*>(cboTrajectNaam)})
        w->setEnabled(!demo);
    btnDupliceer->setEnabled(!demo);
    btnAnnuleren->setText("Annuleren");
    setEntryRange();
    const int mode = static_cast<int>(gEditMode);
    Tag = mode;
    applyMode(mode);
    if (mode != 14) listRouteNames();
    gRouteListIndex = std::max(cboTrajectNaam->currentIndex(), 0);
    fillRouteGrid();
    selectGridRow(1);
}

void TfrmTraject::FormActivate() {
    if (Tag == 0) firstActivation();
    gActiveDialog = 14;
    if (!sessionRunning()) {
        takeClickedBlock();
        return;
    }
    showLocoRoute();
}

void TfrmTraject::takeClickedBlock() {
    if (Tag != 16 && gCurRoute && gSelectedBlock) {
        const int row = selectedRow();
        const int result = routeToggleBlock(gCurRoute, gSelectedBlock->number, row);
        const int lines = lineCount(gCurRoute);
        if (result == 1) {
            fillRouteGridRow(gCurRoute->endLine - 1, lines);
            strgrdTraject->setRowCount(lines + 1);
            clearRouteGridRow(lines + 1);
            selectGridRow(lines + 1);
        } else if (result == 2) {
            clearRouteGridRow(lines + 1);
            clearRouteGridRow(lines + 2);
            strgrdTraject->setRowCount(lines + 1);
            selectGridRow(lines + 1);
        } else if (result == 3) {
            fillRouteGridRow(gCurRoute->firstLine + row - 1, row);
        }
    }
    gSelectedBlock = nullptr;
    btnVolgendBlok->setEnabled(false);
}

void TfrmTraject::refillLocoList() {
    // The list follows the numbers on the track, not only their count: a stale list would give a route
    // to another train.
    bool same = cboLocNummer->count() == gLocsOnTrackCount;
    for (int i = 0; same && i < gLocsOnTrackCount; ++i)
        same = cboLocNummer->itemText(i) == QString::number(gLocsOnTrack[i]->number);
    if (!same) {
        cboLocNummer->clear();
        for (const LocoRec* l : gLocsOnTrack) cboLocNummer->addItem(QString::number(l->number));
    }
    cboLocNummer->setCurrentIndex(gRouteDialogLoco ? gLocsOnTrack.indexOf(gRouteDialogLoco) : -1);
}

void TfrmTraject::showLocoRoute() {
    // A locomotive taken off the track (or deleted) is shown no longer.
    if (gRouteDialogLoco && gLocsOnTrack.indexOf(gRouteDialogLoco) < 0) gRouteDialogLoco = nullptr;
    LocoRec* loco = gRouteDialogLoco;
    refillLocoList();
    RouteRec* route = loco ? loco->route : nullptr;
    if (route != gCurRoute) {
        btnVolgendBlok->setEnabled(false);
        gCurRoute = route;
        cboTrajectNaam->setCurrentIndex(route ? routeIndexOf(route) + 1 : 0);
        gRouteListIndex = cboTrajectNaam->currentIndex();
        fillRouteGrid();
    }
    const int line = loco ? loco->run.currentLine : -1;
    const bool onRoute = loco && loco->mode == kModeRoute && route && line >= route->firstLine && line < route->endLine;
    if (onRoute) {
        gRouteMarkRow = line - route->firstLine + 1;
        if (demoRunning()) selectGridRow(gRouteMarkRow);
        btnVolgendBlok->setEnabled(!demoRunning());
    } else {
        gRouteMarkRow = -1;
        btnVolgendBlok->setEnabled(false);
    }
    cboTrajectNaam->setEnabled(!demoRunning() && !(loco && loco->mode == kModeRoute));
    // Both the old and the new mark are drawn again.
    strgrdTraject->viewport()->update();
    gRouteMarkRowOld = gRouteMarkRow;
}

QString TfrmTraject::strgrdTrajectGetEditMask(int col, int) const {
    static const char* const kMasks[4] = {"999", "99:99", "9999", "999"};
    return col >= 0 && col < 4 ? kMasks[col] : QString();
}

void TfrmTraject::strgrdTrajectSetEditText(int col, int row, const QString& value) {
    if (!gCurRoute) return;
    setCell(row, col, value);
    if (row < 1 || row > lineCount(gCurRoute)) {
        setCell(row, col, QString());
        return;
    }
    RouteLineRec* line = gRouteLines[gCurRoute->firstLine + row - 1];
    setCell(row, 0, QString::number(lineBlockNumber(line)));
    const int number = parseNumber(value.toStdString());
    switch (col) {
    case 1: {
        const int hours = parseNumber(value.left(2).toStdString());
        const int minutes = parseNumber(value.mid(3).toStdString());
        if (hours < 0 || hours > 23 || minutes < 0 || minutes > 59) {
            setCell(row, col, QString());
        } else {
            line->hour = hours;
            line->minute = minutes;
            updateTrainSchedule(nullptr, gCurRoute);
        }
        break;
    }
    case 2:
        if (number < 0 || number > 3600)
            setCell(row, col, QString());
        else
            line->wait = number;
        break;
    case 3:
        if (number < 0 || number > 255)
            setCell(row, col, QString());
        else
            line->speed = number;
        break;
    default: break;
    }
    gChangeFlags |= kRouteLineChanged;
}

void TfrmTraject::strgrdTrajectKeyPress(int key) {
    if (key == 13) sendRouteLine(gRouteSelectedLine);
}

void TfrmTraject::strgrdTrajectSelectCell(int, int row) {
    const int line = gCurRoute ? gCurRoute->firstLine + row - 1 : -1;
    if (line != gRouteSelectedLine) sendRouteLine(gRouteSelectedLine);
    gRouteSelectedLine = line;
}

void TfrmTraject::sendRouteLine(int line) {
    if (!gCurRoute || line < gCurRoute->firstLine || line >= gCurRoute->endLine) return;
    if (!(gChangeFlags & kRouteLineChanged)) return;
    vestrel::ByteWriter w;
    writeRouteLineRec(w, *gRouteLines[line]);
    const auto& bytes = w.data();
    // Only the record of this side's role leaves: the server's broadcast or the client's request.
    netQueueBlobRecord(30, 13, 37, kRouteLineRecSize, line, bytes.data(), static_cast<int>(bytes.size()));
    netQueueBlobRecord(40, 13, 37, kRouteLineRecSize, line, bytes.data(), static_cast<int>(bytes.size()));
    gChangeFlags &= static_cast<uint8_t>(~kRouteLineChanged);
}

void TfrmTraject::cboTrajectNaamChange() {
    if (Tag == 15 && gCurRoute) setRouteName(gCurRoute, cboTrajectNaam->currentText());
}

bool TfrmTraject::nameUsedByOther(const std::string& name) const {
    for (const RouteRec* r : gRoutes)
        if (r != gCurRoute && std::strncmp(r->name, name.c_str(), kRouteNameLength) == 0) return true;
    return false;
}

void TfrmTraject::chooseRouteInSession(int index) {
    RouteRec* chosen = index > 0 ? routeAt(index - 1) : nullptr;
    LocoRec* loco = gRouteDialogLoco;
    if (loco && chosen != loco->route) {
        loco->route = chosen;
        const int value = chosen ? routeIndexOf(chosen) + 1 : 0;
        netQueueRecord(40, 2, 12, loco->number, loco->slot, value);
        netQueueRecord(30, 2, 12, loco->number, loco->slot, value);
        // On a client the server takes the new route through the mode step itself.
        if (gNetLinkState != 40 && loco->mode == kModeRoute) cycleLocoMode(loco);
        loco->run.currentLine = -1;
    }
    if (chosen != gCurRoute) {
        gCurRoute = chosen;
        fillRouteGrid();
    }
}

void TfrmTraject::chooseRouteInEditor(int index) {
    RouteRec* chosen = routeAt(index);
    if (Tag == 15 && gCurRoute) {
        const std::string name(gCurRoute->name, strnlen(gCurRoute->name, kRouteNameLength));
        if (nameUsedByOther(name)) {
            showDialogMessage("Trajectnaam tweemaal gebruikt", 1);
            cboTrajectNaam->setCurrentIndex(gRouteListIndex);
            cboTrajectNaam->setEditText(routeName(gCurRoute));
            return;
        }
        if (cboTrajectNaam->itemText(gRouteListIndex) != routeName(gCurRoute))
            cboTrajectNaam->setItemText(gRouteListIndex, routeName(gCurRoute));
        cboTrajectNaam->setCurrentIndex(index);
    }
    if (chosen != gCurRoute) {
        gCurRoute = chosen;
        fillRouteGrid();
    }
    gRouteListIndex = index;
}

void TfrmTraject::cboTrajectNaamClick() {
    if (Tag == 14) return;
    const int index = cboTrajectNaam->currentIndex();
    if (index < 0) return;
    if (sessionRunning()) {
        chooseRouteInSession(index);
        gRouteListIndex = index;
    } else {
        chooseRouteInEditor(index);
    }
}

void TfrmTraject::cboLocNummerClick() {
    // The locomotive whose number the list shows.
    const int number = cboLocNummer->currentText().toInt();
    LocoRec* chosen = nullptr;
    for (LocoRec* l : gLocsOnTrack)
        if (l->number == number) chosen = l;
    if (chosen && chosen != gRouteDialogLoco) {
        gRouteDialogLoco = chosen;
        FormActivate();
    }
}

void TfrmTraject::btnOpslaanClick() {
    if (gNetMode == 40) {
        netQueueRecord(40, 12, 48, 48, std::max(routeIndexOf(gCurRoute), 0), 0);
        return;
    }
    if (Tag == 14 || Tag == 15) {
        if (!gCurRoute || lineCount(gCurRoute) < 2 || gRouteLineCount == 0) return;
        const std::string name = vestrel::toCp1252(cboTrajectNaam->currentText()).substr(0, kRouteNameLength);
        if (nameUsedByOther(name)) {
            showDialogMessage("Trajectnaam wordt dubbel gebruikt", 1);
            return;
        }
        setRouteName(gCurRoute, cboTrajectNaam->currentText());
        routeCloseCycle(gCurRoute, 1);
    } else if (Tag == 16) {
        if (showDialogMessage("Bent u zeker dat u dit traject wilt verwijderen ?", 2) != 1) {
            close();
            return;
        }
        deleteRoute(gCurRoute);
    }
    saveRouteFile();
    Tag = 30;
    close();
}

void TfrmTraject::btnAnnulerenClick() {
    sendRouteLine(gRouteSelectedLine);
    close();
}

void TfrmTraject::btnHelpClick() { showHelpTopic(sessionRunning() ? 18 : 11); }

void TfrmTraject::btnVolgendBlokClick() {
    LocoRec* loco = gRouteDialogLoco;
    if (!loco || gLocsOnTrack.indexOf(loco) < 0) return;
    if (gNetMode == 40) {
        netQueueRecord(40, 2, 13, loco->number, loco->slot, 0);
        return;
    }
    ++loco->run.currentLine;
    locateTrainInRoute(loco);
    if (gCurRoute) selectGridRow(loco->run.currentLine - gCurRoute->firstLine + 1);
    FormActivate();
}

void TfrmTraject::btnDupliceerClick() { copyRoute(gCurRoute); }

void TfrmTraject::FormClose() {
    cboLocNummer->clear();
    cboTrajectNaam->clear();
    clearRouteGrid();
    // Unsaved changes in the editor, a route just added included, go with the file read again.
    if (Tag != 30 && !sessionRunning()) loadRouteFile();
    Tag = 0;
    gEditMode = 0;
    gActiveDialog = 0;
}

int TfrmTraject::FormKeyDown(QObject* target, int qtKey) {
    if (qtKey != Qt::Key_Space || !sessionRunning() || gEmergencyState != 0) return 0;
    // Only a name being typed takes blanks; the session's list of names does not.
    if (cboTrajectNaam->isEditable() && (target == cboTrajectNaam || target == cboTrajectNaam->lineEdit())) return 0;
    emergencyStopAll(1);
    return 1;
}

void TfrmTraject::FormResize() {
    const int rowHeight = strgrdTraject->verticalHeader()->defaultSectionSize();
    const int gridHeight = strgrdTraject->height();
    const int d = (rowHeight + 1) * ((height() - gridHeight - kBelowGrid) / (rowHeight + 1));
    if (d == 0 || (d < 0 && gridHeight + d < 2 * rowHeight + 2)) return;
    strgrdTraject->resize(strgrdTraject->width(), gridHeight + d);
    btnVolgendBlok->move(btnVolgendBlok->x(), btnVolgendBlok->y() + d);
    btnOpslaan->move(btnOpslaan->x(), btnOpslaan->y() + d);
    btnAnnuleren->move(btnAnnuleren->x(), btnOpslaan->y());
    btnHelp->move(btnHelp->x(), btnOpslaan->y());
}

void TfrmTraject::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormActivate();
}

void TfrmTraject::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && isVisible()) FormActivate();
}

void TfrmTraject::closeEvent(QCloseEvent* event) {
    if (isVisible()) FormClose();
    QDialog::closeEvent(event);
}

void TfrmTraject::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    FormResize();
}

bool TfrmTraject::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (FormKeyDown(watched, key)) return true;
        if (watched == strgrdTraject && (key == Qt::Key_Return || key == Qt::Key_Enter)) strgrdTrajectKeyPress(13);
    }
    return QDialog::eventFilter(watched, event);
}

void refreshRouteDialogFor(const LocoRec* loco) {
    if (frmTraject && frmTraject->isVisible() && sessionRunning() && loco && loco == gRouteDialogLoco)
        frmTraject->FormActivate();
}
