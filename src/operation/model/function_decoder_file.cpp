#include "operation/model/function_decoder_file.h"

// Function decoders are not read yet.
int loadFunctionDecoderFile() { return 0; }
