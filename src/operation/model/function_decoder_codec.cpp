#include "operation/model/function_decoder_codec.h"

#include "operation/model/train_codec.h"

void encodeFunctionDecoder(vestrel::ByteWriter& w, const FunctionDecoderRec& d, int32_t locoLink) {
    w.i16(d.address);
    w.i16(d.slot);
    writeFixedText(w, d.name, kFunctionDecoderNameSize);
    w.u8(d.functionCount);
    for (const std::string& name : d.functionNames) writeFixedText(w, name, kFunctionNameSize);
    w.u8(d.protocol);
    w.u32(d.functionState);
    w.bytes(d.spare, sizeof d.spare);
    w.i32(locoLink);
}

bool decodeFunctionDecoder(vestrel::ByteReader& r, FunctionDecoderRec& d, int32_t& locoLink) {
    d.address = r.i16();
    d.slot = r.i16();
    d.name = readFixedText(r, kFunctionDecoderNameSize);
    d.functionCount = r.u8();
    for (std::string& name : d.functionNames) name = readFixedText(r, kFunctionNameSize);
    d.protocol = r.u8();
    d.functionState = r.u32();
    r.bytes(d.spare, sizeof d.spare);
    locoLink = r.i32();
    d.loco = nullptr;
    return r.ok();
}
