#pragma once
// Reading the fields of a received record.
#include <cstdint>

// The little-endian int16 at byte k of the record at r.
inline int16_t netAt16(const uint8_t* r, int k) { return static_cast<int16_t>(r[k] | (r[k + 1] << 8)); }
