// A client's requests for function decoders (kind 35): the decoder's address in a, its index in b.
#include "network/sync/server_request_kinds.h"

#include "link/buffers/link_buffers.h"
#include "operation/files/function_decoder_file.h"
#include "operation/model/train_model.h"

int functionDecoderRequest(const NetRequest& q) {
    FunctionDecoderRec* d = gFunctionDecoders[q.b];
    if (!d || d->address != q.a) return 0;
    switch (q.code) {
    case 2:
        d->loco = gLocs[q.c - 1];  // the locomotive's slot + 1; none for 0 or outside the table
        break;
    case 35: {
        const int function = q.c & 0xFF, on = (q.c >> 8) & 0xFF;
        if (function < 1 || function > kMaxDecoderFunctions || on > 1) return 0;
        setDecoderFunction(d, function, on);
        return 1;
    }
    case 37: {
        // Byte 6 the function's index, then its name in 11 bytes.
        const int function = q.byte(6);
        if (function >= kMaxDecoderFunctions) return 0;
        d->functionNames[function] = q.text(7, 11);
        break;
    }
    case 48: saveFunctionDecoderFile(); return 1;
    case 49: d->name = q.text(6, 21); break;
    case 50:
        if (q.c < 1 || q.c > kMaxDecoderFunctions) return 0;
        d->functionCount = static_cast<uint8_t>(q.c);
        break;
    case 51:
        if (q.c != 0 && q.c != 1) return 0;
        d->protocol = static_cast<uint8_t>(q.c);
        break;
    default: return 0;
    }
    q.echo();
    return 1;
}
