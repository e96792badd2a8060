#pragma once
// The function-decoder file (<locomotive file>.fdc).
int loadFunctionDecoderFile();
// Forgets every function decoder.
void clearFunctionDecoders();
// Writes the function decoders to their file; 1 written.
int saveFunctionDecoderFile();
