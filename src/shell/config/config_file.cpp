#include "shell/config/config_file.h"

#include <cstdio>
#include <string>
#include <vector>

#include "layout/model/layout_model.h"
#include "layout/frame/render.h"
#include "layout/model/scale.h"
#include "network/model/net_state.h"
#include "platform/byte_io.h"
#include "platform/paths.h"
#include "shell/model/app_state.h"
#include "shell/window/main_window.h"
#include "shell/config/messages.h"
#include "shell/window/schema_controls.h"
#include "shell/model/settings.h"

namespace {

constexpr size_t kMaxNameLength = 25;
constexpr uint8_t kLineFeed = 10;

// Reads the items in file order. Once the end of the file is met (by the stream, not by a value: a stored
// 0xFF byte or int16 -1 is a value like any other), nothing more is read and the remaining settings keep
// their current values. A value cut short by the end of the file is not taken.
class ConfigReader {
public:
    explicit ConfigReader(const std::vector<uint8_t>& bytes) : r_(bytes) {}

    void name(std::string& value, int lineFeeds) {
        if (!live_) return;
        std::string read;
        for (;;) {
            if (r_.atEnd()) {
                live_ = false;
                break;
            }
            const uint8_t c = r_.u8();
            if (c == kLineFeed) break;
            if (read.size() < kMaxNameLength) read.push_back(static_cast<char>(c));
        }
        value = read;
        for (int i = 1; i < lineFeeds; ++i) separator();
    }
    void u8(uint8_t& value, bool lineFeed) { take(value, lineFeed); }
    void ch(char& value, bool lineFeed) {
        uint8_t v = static_cast<uint8_t>(value);
        take(v, lineFeed);
        value = static_cast<char>(v);
    }
    void i16(int16_t& value, bool lineFeed) { take(value, lineFeed); }
    void i32(int32_t& value, bool lineFeed) { take(value, lineFeed); }

private:
    template <class T>
    void take(T& value, bool lineFeed) {
        if (!live_) return;
        if (r_.remaining() < sizeof(T)) {
            live_ = false;
            return;
        }
        uint32_t v = 0;
        for (size_t i = 0; i < sizeof(T); ++i) v |= static_cast<uint32_t>(r_.u8()) << (8 * i);
        value = static_cast<T>(v);
        if (lineFeed) separator();
    }
    void separator() {
        if (!live_) return;
        if (r_.atEnd())
            live_ = false;
        else
            r_.skip(1);
    }
    vestrel::ByteReader r_;
    bool live_ = true;
};

class ConfigWriter {
public:
    void name(std::string& value, int lineFeeds) {
        w_.text(value);
        for (int i = 0; i < lineFeeds; ++i) w_.u8(kLineFeed);
    }
    void u8(uint8_t& value, bool lineFeed) { put([&] { w_.u8(value); }, lineFeed); }
    void ch(char& value, bool lineFeed) { put([&] { w_.ch(value); }, lineFeed); }
    void i16(int16_t& value, bool lineFeed) { put([&] { w_.i16(value); }, lineFeed); }
    void i32(int32_t& value, bool lineFeed) { put([&] { w_.i32(value); }, lineFeed); }
    const std::vector<uint8_t>& bytes() const { return w_.data(); }

private:
    template <class F>
    void put(F write, bool lineFeed) {
        write();
        if (lineFeed) w_.u8(kLineFeed);
    }
    vestrel::ByteWriter w_;
};

// Every item of the file, in file order, with its form. Reading and writing both walk this one list.
template <class Visitor>
void visitConfigItems(Visitor& v) {
    Settings& s = gSettings;
    char constantZero = '0';
    v.name(gLayoutFileName, 2);
    v.name(gLocoFileName, 2);
    v.name(gBackgroundFileName, 1);
    v.i16(s.edtBeeldX, false);
    v.i16(s.edtBeeldY, false);
    v.i16(s.edtBeeldZoom, false);
    v.u8(s.chboBeeldTransparant, false);
    v.u8(s.chboBeeldVaag, true);
    v.ch(s.cboCompoort, true);
    v.u8(s.chboCTS, true);
    v.u8(gTimeBase, true);
    v.u8(s.chboVisuTerugmeld, true);
    v.ch(constantZero, true);
    v.i16(s.edtLengteKorte, true);
    v.i16(s.edtSnelhOranje, true);
    v.u8(s.chboDirectBooster, true);
    v.u8(s.chboAchtergrondbeeld, true);
    v.i16(s.cboBaudrate, true);
    v.ch(s.cboS88poort, true);
    v.u8(s.chboKortsluitbeveiliging, true);
    v.u8(s.chboMolaWisselSein115200, true);
    v.u8(s.chboDCC19200, true);
    v.u8(s.chboMolaTussentijd, true);
    v.u8(s.chboMolaLoc7bit, true);
    v.u8(s.chboVisuVerbinding, true);
    v.i16(s.edtLPTAdres, true);
    v.u8(s.chboWagondetectie, true);
    v.u8(s.chboPositiecontrole, true);
    v.u8(s.chboVisuNummer, true);
    v.u8(s.chboVisuSectie, true);
    v.u8(gNetMode, true);
    v.ch(s.cboCompoortb, true);
    v.u8(s.chboCyclus46ms, true);
    v.u8(s.chboWSDecTussentijd, true);
    v.u8(s.chboVerkeerdeWeg, true);
    v.u8(s.chboMMWisselSeinCont, true);
    v.u8(s.radbtnP50X, true);
    v.u8(gOrientation, true);
    v.i32(s.cboS88Baudrate, true);
    v.u8(gTurnoutLengthIndex, true);
    v.u8(gTurnoutWidthIndex, true);
}

template <class T>
bool oneOf(T value, std::initializer_list<T> allowed) {
    for (T a : allowed)
        if (value == a) return true;
    return false;
}

template <class T>
void keepInRange(T& value, int low, int high, T fallback) {
    if (value < low || value > high) value = fallback;
}

void applyRangesAndDefaults() {
    Settings& s = gSettings;
    if (s.edtBeeldX < 0 || s.edtBeeldX > 999 || s.edtBeeldY < 0 || s.edtBeeldY > 999 || s.edtBeeldZoom < 10 ||
        s.edtBeeldZoom > 500) {
        s.edtBeeldX = 0;
        s.edtBeeldY = 0;
        s.edtBeeldZoom = 100;
    }
    keepInRange(s.cboCompoort, '1', '9', '1');
    keepInRange(gTimeBase, 1, 60, uint8_t{1});
    keepInRange(s.edtLengteKorte, 0, 300, int16_t{0});
    if (s.edtSnelhOranje != 0) keepInRange(s.edtSnelhOranje, 30, 70, int16_t{0});
    if (!oneOf<int16_t>(s.cboBaudrate, {2400, 4800, 9600, 19200})) s.cboBaudrate = 2400;
    keepInRange(s.cboS88poort, '0', ';', '0');
    if (s.edtLPTAdres == 0) s.edtLPTAdres = s.cboS88poort == '2' ? 0x278 : 0x378;
    keepInRange(s.chboWagondetectie, 0, 1, uint8_t{0});
    keepInRange(s.chboPositiecontrole, 0, 1, uint8_t{0});
    if (!oneOf<uint8_t>(gNetMode, {0, 30, 40})) gNetMode = 0;
    keepInRange(s.cboCompoortb, '0', '9', '0');
    keepInRange(s.chboVerkeerdeWeg, 0, 1, uint8_t{0});
    keepInRange(gOrientation, 0, 3, uint8_t{0});
    if (!oneOf<int32_t>(s.cboS88Baudrate, {38400, 57600, 115200})) s.cboS88Baudrate = 115200;
    keepInRange(gTurnoutLengthIndex, 0, 4, uint8_t{2});
    keepInRange(gTurnoutWidthIndex, 0, 1, uint8_t{0});
}

bool endsWith(const std::string& s, const char* tail) {
    const std::string t(tail);
    return s.size() >= t.size() && s.compare(s.size() - t.size(), t.size(), t) == 0;
}

// The extension is compared and stored in lower case ("Baan.VTL" is kept as "Baan.vtl").
void lowerCaseExtension(std::string& name) {
    const size_t from = name.size() > 4 ? name.size() - 4 : 0;
    for (size_t i = from; i < name.size(); ++i)
        if (name[i] >= 'A' && name[i] <= 'Z') name[i] = static_cast<char>(name[i] - 'A' + 'a');
}

void applyNameRules() {
    lowerCaseExtension(gLayoutFileName);
    if (gLayoutFileName.size() < 5 || !endsWith(gLayoutFileName, ".vtl")) gLayoutFileName = kNoNameLayout;
    lowerCaseExtension(gLocoFileName);
    if (gLocoFileName.size() < 5 || !endsWith(gLocoFileName, ".loc"))
        gLocoFileName = gLayoutFileName.substr(0, gLayoutFileName.size() - 3) + "loc";
}

// Writes the items from the first byte of the file. Bytes that an older, longer file had after the last
// item stay as they were (they are never read). The new contents replace the file only once complete;
// where the folder does not allow that, the open file is overwritten in place.
void writeConfigFile(std::FILE* f, const std::string& path, const std::vector<uint8_t>& old) {
    ConfigWriter w;
    visitConfigItems(w);
    std::vector<uint8_t> bytes = w.bytes();
    if (old.size() > bytes.size()) bytes.insert(bytes.end(), old.begin() + static_cast<long>(bytes.size()), old.end());
    if (bytes == old) return;  // already as it should be: spare the disk a write and a sync on every load
    if (vestrel::writeFileAtomic(path, bytes)) return;
    std::rewind(f);
    std::fwrite(bytes.data(), 1, bytes.size(), f);
}

std::vector<uint8_t> readAll(std::FILE* f) {
    std::vector<uint8_t> bytes;
    uint8_t buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) bytes.insert(bytes.end(), buf, buf + n);
    return bytes;
}

}  // namespace

void syncConfigFile() {
    const std::string path = vestrel::resolvePath(kConfigFileName);
    std::FILE* f = std::fopen(path.c_str(), "r+b");
    if (!f) f = std::fopen(path.c_str(), "w+b");
    if (!f) showDialogMessage("Kan bestand 'vestrel.cfg' niet openen !", 1);

    std::vector<uint8_t> old;
    if (f) old = readAll(f);
    if (f && gLayoutFileName.empty()) {
        ConfigReader r(old);
        visitConfigItems(r);
        applyRangesAndDefaults();
        selectTurnoutSizeItems(gTurnoutLengthIndex, gTurnoutWidthIndex);
    }
    applyNameRules();
    if (f) {
        writeConfigFile(f, path, old);
        std::fclose(f);
        updateSpeedFactor();
    }
    updateTitleBar();
    showVisibilityLabels();
}
