#include "platform/gui_thread.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

namespace vestrel {

bool onGuiThread() {
    QCoreApplication* app = QCoreApplication::instance();
    return !app || QThread::currentThread() == app->thread();
}

void runOnGuiThread(std::function<void()> fn) {
    QCoreApplication* app = QCoreApplication::instance();
    if (!app) {
        fn();
        return;
    }
    QMetaObject::invokeMethod(app, std::move(fn), Qt::QueuedConnection);
}

void runOnGuiThreadAndWait(const std::function<void()>& fn) {
    if (onGuiThread()) {
        fn();
        return;
    }
    QMetaObject::invokeMethod(QCoreApplication::instance(), fn, Qt::BlockingQueuedConnection);
}

}  // namespace vestrel
