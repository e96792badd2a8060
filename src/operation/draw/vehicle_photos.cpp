#include "operation/draw/vehicle_photos.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPainter>

#include "operation/control/dialog_refresh.h"
#include "operation/model/train_model.h"
#include "platform/paths.h"

namespace {

constexpr const char* kBlankPhoto = "00blanco";
constexpr const char* kLocoFolder = "foto\\loc\\";
constexpr const char* kHelperFolder = "foto\\loc\\hulploc\\";
constexpr const char* kWagonFolder = "foto\\wag\\";
constexpr const char* kSmallWagonFolder = "foto\\wag\\klein\\";
constexpr int kStripWidth = 160;
constexpr int kStripHeight = 40;
constexpr int kStripTop = 14;  // where the locomotive stands in its photo

// Photo names come from files and from peers: one that names another folder is refused.
bool safeName(const std::string& name) {
    return name.find('/') == std::string::npos && name.find('\\') == std::string::npos &&
           name.find("..") == std::string::npos && name.find('\0') == std::string::npos;
}

bool loadBmp(const std::string& windowsPath, QImage& image) {
    QImage loaded;
    if (!loaded.load(QString::fromStdString(vestrel::resolvePath(windowsPath)), "BMP")) return false;
    image = loaded;
    return true;
}

// The helper's strip: a 160 x 40 copy of the blank wagon photo with the locomotive photo's band
// (0,14)-(160,54) over it, saved where the next call finds it. True when the file was written.
bool makeHelperStrip(const std::string& name) {
    QImage loco;
    if (loadPhotoBitmap(kLocoFolder, name, loco) == 0 && loco.isNull()) return false;
    QImage blank;
    if (!loadBmp(std::string(kWagonFolder) + kBlankPhoto + ".bmp", blank)) return false;
    QImage work(kStripWidth, kStripHeight, QImage::Format_RGB32);
    work.fill(Qt::white);
    {
        QPainter p(&work);
        p.drawImage(0, 0, blank);
        p.drawImage(QRect(0, 0, kStripWidth, kStripHeight), loco, QRect(0, kStripTop, kStripWidth, kStripHeight));
    }
    const std::string folder = vestrel::resolvePath(kHelperFolder);
    if (!QDir().mkpath(QString::fromStdString(folder))) return false;
    const std::string file = vestrel::resolvePath(std::string(kHelperFolder) + name + ".bmp");
    return work.save(QString::fromStdString(file), "BMP");
}

}  // namespace

int loadPhotoBitmap(const std::string& folder, const std::string& name, QImage& image) {
    if (!name.empty() && safeName(name) && loadBmp(folder + name + ".bmp", image)) return 1;
    const bool blank = loadBmp(folder + kBlankPhoto + ".bmp", image);
    return name.empty() && blank ? 2 : 0;
}

void buildTrainPicture(const WagonRec* wagon, QImage* bitmap) {
    if (!wagon) return;
    QImage shown;
    QImage& target = bitmap ? *bitmap : shown;
    if (wagon->kind == 'H') {
        const std::string& name = wagon->photo;
        if (name.empty() || !safeName(name)) {
            loadPhotoBitmap(kWagonFolder, "", target);
        } else if (loadPhotoBitmap(kHelperFolder, name, target) != 1) {
            if (!makeHelperStrip(name) || loadPhotoBitmap(kHelperFolder, name, target) != 1)
                loadPhotoBitmap(kWagonFolder, "", target);
        }
    } else if (!bitmap) {
        loadPhotoBitmap(kWagonFolder, wagon->photo, target);
    } else {
        QImage small;
        if (loadPhotoBitmap(kSmallWagonFolder, wagon->photo, small) == 0 && small.isNull())
            loadPhotoBitmap(kWagonFolder, wagon->photo, small);
        target = small;
    }
    if (!bitmap) showWagonDialogPhoto(target);
}

namespace {

constexpr int kMaxPhotoName = 10;

// The name without its ".bmp" (any case), empty when it has another extension.
QString bitmapBaseName(const QString& file) {
    if (!file.endsWith(".bmp", Qt::CaseInsensitive)) return {};
    return file.left(file.size() - 4);
}

bool fitsPhotoField(const QString& name) { return !name.isEmpty() && name.size() <= kMaxPhotoName; }

}  // namespace

std::vector<std::string> photoNamesIn(const std::string& folder) {
    const QDir dir(QString::fromStdString(vestrel::resolvePath(folder)));
    QStringList names;
    for (const QString& file : dir.entryList(QDir::Files, QDir::Name | QDir::IgnoreCase)) {
        const QString name = bitmapBaseName(file);
        if (fitsPhotoField(name)) names << name;
    }
    std::vector<std::string> out;
    for (const QString& n : names) out.push_back(n.toStdString());
    return out;
}

std::string photoNameOfChosenFile(const std::string& folder, const std::string& chosenPath) {
    const QFileInfo chosen(QString::fromStdString(chosenPath));
    const QFileInfo inFolder(QString::fromStdString(vestrel::resolvePath(folder)));
    if (chosen.absoluteDir().canonicalPath() != QDir(inFolder.absoluteFilePath()).canonicalPath()) return {};
    const QString name = bitmapBaseName(chosen.fileName());
    return fitsPhotoField(name) && safeName(name.toStdString()) ? name.toStdString() : std::string();
}
