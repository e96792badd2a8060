#pragma once
// The function-decoder file (<locomotive file>.fdc).
int loadFunctionDecoderFile();
// Forgets every function decoder.
void clearFunctionDecoders();
