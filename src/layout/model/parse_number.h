#pragma once
// The number typed into a dialog field.
#include <string>

// Leading white space, an optional sign and the decimal digits up to the first other character; 0 when
// there are no digits. Values beyond the int range stop at its ends.
int parseNumber(const std::string& text);
