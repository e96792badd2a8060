#include "operation/model/function_decoder_file.h"

#include "operation/model/train_model.h"

// Function decoders are not read yet.
int loadFunctionDecoderFile() { return 0; }

void clearFunctionDecoders() {
    gProgFunctionDecoder = nullptr;
    gFunctionDecoders.clear();
}

// The function-decoder file is not written yet.
int saveFunctionDecoderFile() { return 0; }
