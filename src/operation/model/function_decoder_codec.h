#pragma once
// The 348-byte image of a function decoder (its file and the network copy), little-endian:
//   0 int16 address | 2 int16 slot | 4 name, 21 bytes zero-terminated | 25 function count
//   26 28 x 11 bytes function names, zero-terminated | 334 protocol | 335 uint32 function state
//   339 5 spare bytes | 344 int32 the bound locomotive as the caller names it (0 none)
#include <cstdint>

#include "operation/model/train_model.h"
#include "platform/byte_io.h"

constexpr int kFunctionDecoderRecSize = 348;
constexpr int kFunctionNameSize = 11;
constexpr int kFunctionDecoderNameSize = 21;

void encodeFunctionDecoder(vestrel::ByteWriter& w, const FunctionDecoderRec& d, int32_t locoLink);
// Reads one image; the locomotive is left null and its link returned. False after a short read.
bool decodeFunctionDecoder(vestrel::ByteReader& r, FunctionDecoderRec& d, int32_t& locoLink);
