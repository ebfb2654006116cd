// Shared by the fuzz harnesses: a decoded picture must really hold the rows its size claims.
#pragma once

#include "imaging/DecodeResult.h"

#include <cstdint>

namespace parvane::fuzz {

// Reads the last byte of every 17th row, so a bitmap shorter than its size claims is caught by
// the sanitizers.
inline void touchRows(const imaging::DecodeResult& result) {
    if (!result.ok())
        return;
    const imaging::Bitmap& bitmap = result.bitmap();
    if (bitmap.stride() == 0)
        return;
    volatile std::uint8_t sink = 0;
    for (int y = 0; y < bitmap.height(); y += 17)
        sink = static_cast<std::uint8_t>(sink ^ bitmap.row(y)[bitmap.stride() - 1]);
    (void)sink;
}

} // namespace parvane::fuzz
