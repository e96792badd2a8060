#include "platform/desktop.h"

#include <QDesktopServices>
#include <QFile>
#include <QUrl>

namespace vestrel {

namespace {
DesktopOpener& opener() {
    static DesktopOpener instance;
    return instance;
}
}  // namespace

bool openWithDesktop(const std::string& path) {
    if (opener()) return opener()(path);
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QFile::decodeName(path.c_str())));
}

void setDesktopOpener(DesktopOpener o) { opener() = std::move(o); }

}  // namespace vestrel
