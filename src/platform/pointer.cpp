#include "platform/pointer.h"

#include <QCursor>
#include <QGuiApplication>

namespace vestrel {

bool pointerCanMove() { return QGuiApplication::platformName() == QLatin1String("xcb"); }

bool movePointerTo(int globalX, int globalY) {
    if (!pointerCanMove()) return false;
    QCursor::setPos(globalX, globalY);
    return true;
}

}  // namespace vestrel
