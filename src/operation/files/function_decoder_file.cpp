#include "operation/files/function_decoder_file.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "layout/model/layout_model.h"
#include "operation/control/dialog_records.h"
#include "operation/model/function_decoder_codec.h"
#include "operation/model/train_model.h"
#include "platform/byte_io.h"
#include "platform/paths.h"
#include "shell/config/messages.h"
#include "shell/model/app_state.h"

namespace {

constexpr int kVersion1RecSize = 128;
constexpr int kMaxStoredDecoders = 200;  // a count of 200 or more is a damaged file

void reportDamaged(const std::string& file) {
    showDialogMessage("Er is een fout in het bestand '" + file +
                          "'. De functiedecoders moeten opnieuw gemaakt worden.",
                      1);
}

// Reads the records; false for a short or impossible record.
bool readDecoders(vestrel::ByteReader& in, int count, int version) {
    const size_t stored = version == 1 ? kVersion1RecSize : kFunctionDecoderRecSize;
    for (int i = 0; i < count; ++i) {
        std::vector<uint8_t> image(kFunctionDecoderRecSize, 0);
        if (in.remaining() < stored) return false;
        in.bytes(image.data(), stored);
        vestrel::ByteReader r(image);
        auto d = std::make_unique<FunctionDecoderRec>();
        int32_t locoNumber = 0;
        if (!decodeFunctionDecoder(r, *d, locoNumber)) return false;
        if (d->functionCount < 1 || d->functionCount > kMaxDecoderFunctions) return false;
        d->functionState = 0;
        d->loco = locoNumber != 0 ? findLocoByNumber(locoNumber) : nullptr;
        if (!gFunctionDecoders.append(std::move(d))) return false;
    }
    return true;
}

}  // namespace

std::string functionDecoderFileName() {
    std::string base = gLocoFileName.empty() || gDemoStep != 0 ? gLayoutFileName : gLocoFileName;
    if (base.size() <= 3) return {};
    base.replace(base.size() - 3, 3, "fdc");
    return base;
}

int loadFunctionDecoderFile() {
    clearFunctionDecoders();
    const std::string file = functionDecoderFileName();
    if (file.empty()) return 0;
    std::vector<uint8_t> bytes;
    if (!vestrel::readWholeFile(vestrel::resolvePath(file), bytes)) return 0;
    vestrel::ByteReader in(bytes);
    uint8_t head[4] = {};
    in.bytes(head, sizeof head);
    if (!in.ok() || head[0] != 'V' || head[2] != '.') return 0;
    const int version = 10 * (head[1] - '0') + (head[3] - '0');
    const int count = in.u16();
    if (!in.ok() || count >= kMaxStoredDecoders || !readDecoders(in, count, version)) {
        clearFunctionDecoders();
        reportDamaged(file);
        return 0;
    }
    return 1;
}

void clearFunctionDecoders() {
    gProgFunctionDecoder = nullptr;
    forgetFunctionDecoderRecord(nullptr);
    gFunctionDecoders.clear();
}

int saveFunctionDecoderFile() {
    const std::string file = functionDecoderFileName();
    vestrel::ByteWriter w;
    w.text("V0.2");
    w.u16(static_cast<uint16_t>(gFunctionDecoderCount));
    for (const FunctionDecoderRec* d : gFunctionDecoders) encodeFunctionDecoder(w, *d, d->loco ? d->loco->number : 0);
    if (file.empty() || !vestrel::writeFileAtomic(vestrel::resolvePath(file), w.data())) {
        showDialogMessage("Kan bestand '" + file + "' niet openen !", 1);
        return 0;
    }
    return 1;
}
