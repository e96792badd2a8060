#include "layout/dialogs/element_dialog.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

#include "layout/editor/editor_state.h"
#include "layout/model/parse_number.h"
#include "operation/control/emergency_stop.h"
#include "shell/config/help.h"
#include "shell/model/app_state.h"

namespace {

bool emergencyStopKey(const QKeyEvent* key) {
    return key->key() == Qt::Key_Space && sessionRunning() && gEmergencyState == 0;
}

}  // namespace

void TElementDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormActivate();
}

void TElementDialog::closeEvent(QCloseEvent* event) {
    if (isVisible()) FormClose();
    QDialog::closeEvent(event);
}

bool TElementDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && emergencyStopKey(static_cast<QKeyEvent*>(event))) {
        emergencyStopAll(1);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TElementDialog::watchKeys() {
    installEventFilter(this);
    for (QWidget* w : findChildren<QWidget*>()) w->installEventFilter(this);
}

void TElementDialog::addButtons(int top, int helpTopic) {
    const struct {
        QPushButton*& button;
        const char* name;
        const char* text;
    } buttons[] = {{btnOK, "btnOK", "OK"}, {btnAnnuleren, "btnAnnuleren", "Annuleren"}, {btnHelp, "btnHelp", "Help"}};
    int x = 10;
    for (const auto& b : buttons) {
        b.button = new QPushButton(b.text, this);
        b.button->setObjectName(b.name);
        b.button->setGeometry(x, top, 75, 25);
        b.button->setAutoDefault(false);
        x += 85;
    }
    btnOK->setDefault(true);
    connect(btnAnnuleren, &QPushButton::clicked, this, &QWidget::close);
    connect(btnHelp, &QPushButton::clicked, this, [helpTopic] { showHelpTopic(helpTopic); });
}

TPlusMinPanel::TPlusMinPanel(QWidget* parent, const char* name, std::function<void(int)> mouseDown)
    : QLabel("+/-", parent), mouseDown_(std::move(mouseDown)) {
    setObjectName(name);
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setAlignment(Qt::AlignCenter);
    resize(30, 21);
}

void TPlusMinPanel::mousePressEvent(QMouseEvent* event) {
    if (mouseDown_) mouseDown_(event->button() == Qt::LeftButton ? 1 : 2);
}

QLineEdit* addNumberField(QWidget* form, const char* name, const QString& label, int maxLength, int top, int left,
                          int labelWidth) {
    auto* caption = new QLabel(label, form);
    caption->setObjectName(QString("lbl") + (name + 3));
    caption->setGeometry(left, top + 2, labelWidth, 17);
    auto* field = new QLineEdit(form);
    field->setObjectName(name);
    field->setMaxLength(maxLength);
    field->setGeometry(left + labelWidth, top, 12 + 9 * maxLength, 21);
    return field;
}

int fieldValue(const QLineEdit* field) { return parseNumber(field->text().toStdString()); }

void setFieldValue(QLineEdit* field, int value) { field->setText(QString::number(value)); }

void editModeAfterElementDialog() {
    if (sessionRunning() || gEditMode == kEditClickOpens)
        gEditMode = kEditIdle;
    else if (gEditMode != kEditNew && gEditMode != kEditIdle)
        gEditMode = kEditRestart;
}
