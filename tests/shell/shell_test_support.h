#pragma once
// Driving the program's real windows in tests.
#include <functional>
#include <vector>
#include <string>

#include "test_support.h"

class QByteArray;
class QImage;
class QTcpSocket;
class QWidget;

// Runs the event loop until cond() holds; false when it still fails after a generous safety limit.
bool processUntil(const std::function<bool()>& cond);
// Everything the program's socket `programSide` sent to `peer` up to now and the peer has not read, at
// a moment when the program sends nothing: a marker written on the program's side comes behind the
// program's latest byte, and what came before it is the answer once it has come.
QByteArray unreadSoFar(QTcpSocket& programSide, QTcpSocket& peer);
// As soon as a modal window is up, runs action on it from inside its event loop.
void whenModal(std::function<void(QWidget*)> action);
// Presses and releases a key on the widget that has the focus in w (or on w itself).
void pressKey(QWidget* w, int qtKey);
// Clicks the push button of that object name inside w.
void clickButton(QWidget* w, const char* name);
// The focus leaves the field, as when the user tabs or clicks elsewhere (its on-leave check runs).
void leaveField(QWidget* field);
// What the program has queued for the network since gNetOutFill was last emptied.
std::vector<uint8_t> queuedNetBytes();

// What the main window shows on the screen.
QImage mainWindowOnScreen();
// Expects `shown` to be what the main window shows once it and every widget in it have painted
// themselves whole; when the two differ, both are kept as test artefacts under name.
void expectShownAsPaintedWhole(const QImage& shown, const std::string& name);

// Puts the run state of the shell back to its state at program start.
void resetShellState();

// A fresh working folder in which start() creates every form, shows the main window and answers the
// start dialog with Esc ("Stand alone"); without showing, only the forms are created.
class RunningProgram {
public:
    RunningProgram();
    ~RunningProgram();
    void start(bool show = true);
    testsupport::ScratchDir dir;
};
