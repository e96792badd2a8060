#include "platform/desktop.h"

#include <QDesktopServices>
#include <QFile>
#include <QProcess>
#include <QUrl>

namespace vestrel {

namespace {
DesktopOpener& opener() {
    static DesktopOpener instance;
    return instance;
}
DesktopOpener& starter() {
    static DesktopOpener instance;
    return instance;
}
}  // namespace

bool openWithDesktop(const std::string& path) {
    if (opener()) return opener()(path);
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QFile::decodeName(path.c_str())));
}

void setDesktopOpener(DesktopOpener o) { opener() = std::move(o); }

bool startProgram(const std::string& path) {
    if (starter()) return starter()(path);
    return QProcess::startDetached(QFile::decodeName(path.c_str()), {});
}

void setProgramStarter(DesktopOpener s) { starter() = std::move(s); }

}  // namespace vestrel
