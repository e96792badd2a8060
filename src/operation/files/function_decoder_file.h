#pragma once
// The function-decoder file: the locomotive file's name (the layout's while there is none or the
// guided demo runs) with "fdc" in place of its last three characters.
//   0 "V0.2" (version = 10 x first digit + second digit) | 4 uint16 count (below 200)
//   6 count records of 348 bytes (version 1: 128 bytes, the rest of the record zero)
// Each record is the image of function_decoder_codec.h with the coupled locomotive's number.
#include <string>

// The file's name, empty when the base name is too short to carry an extension.
std::string functionDecoderFileName();
// Clears the table and reads the file; 1 when decoders were read. A damaged file (short, a count of
// 200 or more, a function count outside 1..28) is reported and leaves no decoders; a file without a
// version text is ignored. Function states start cleared.
int loadFunctionDecoderFile();
// Forgets every function decoder.
void clearFunctionDecoders();
// Writes the function decoders to their file (through a temporary file); 1 written, else the user is
// told and 0.
int saveFunctionDecoderFile();
