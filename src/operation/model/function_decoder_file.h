#pragma once
// The function-decoder file (<locomotive file>.fdc).
int loadFunctionDecoderFile();
