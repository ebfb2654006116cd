// Fuzz entry point of the BMP reader: any bytes must give a picture or a clean failure, and a
// picture must survive being written and read again.
#include "imaging/Bitmap.h"
#include "imaging/BmpCodec.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace parvane::imaging;
    const DecodeResult result = decodeBmp(std::span<const std::uint8_t>(data, size));
    if (!result.ok() || result.bitmap().width() * result.bitmap().height() > (1 << 20))
        return 0;
    const std::vector<std::uint8_t> written = encodeBmp(result.bitmap());
    const DecodeResult again = decodeBmp(written);
    if (!again.ok() || !(again.bitmap() == result.bitmap()))
        std::abort();
    return 0;
}
