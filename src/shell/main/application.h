#pragma once
// The application object: an exception thrown while an event is handled is shown, and the program goes on.
#include <QApplication>
#include <exception>

class TApplication : public QApplication {
public:
    TApplication(int& argc, char** argv) : QApplication(argc, argv) {}
    bool notify(QObject* receiver, QEvent* event) override;
};

// The application's exception display.
void showException(const std::exception& e);
void showUnknownException();
