#include "GifReader.h"

#include "DecoderSupport.h"

#include <algorithm>
#include <cstring>
#include <gif_lib.h>
#include <memory>
#include <vector>

namespace parvane::imaging {

namespace {

struct MemorySource {
    std::span<const std::uint8_t> data;
    std::size_t pos = 0;
};

int readFromMemory(GifFileType* gif, GifByteType* out, int length) {
    auto* src = static_cast<MemorySource*>(gif->UserData);
    const std::size_t n =
        std::min(static_cast<std::size_t>(std::max(length, 0)), src->data.size() - src->pos);
    std::memcpy(out, src->data.data() + src->pos, n);
    src->pos += n;
    return static_cast<int>(n);
}

struct GifCloser {
    void operator()(GifFileType* gif) const {
        int error = 0;
        DGifCloseFile(gif, &error);
    }
};
using GifHandle = std::unique_ptr<GifFileType, GifCloser>;

std::string gifFailure(int code) {
    const char* text = GifErrorString(code);
    return std::string("GIF: ") + (text ? text : "unknown error");
}

} // namespace

DecodeResult decodeGif(std::span<const std::uint8_t> data, int* transparentIndex) {
    if (transparentIndex)
        *transparentIndex = -1;
    if (data.size() < 6 || std::memcmp(data.data(), "GIF", 3) != 0)
        return DecodeResult::notThisFormat("GIF: no GIF signature");
    MemorySource source{data};
    int error = 0;
    GifHandle gif(DGifOpen(&source, readFromMemory, &error));
    if (!gif)
        return DecodeResult::damaged(gifFailure(error));

    int transparent = -1;
    for (;;) {
        GifRecordType type = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif.get(), &type) == GIF_ERROR)
            return DecodeResult::damaged(gifFailure(gif->Error));
        if (type == TERMINATE_RECORD_TYPE)
            return DecodeResult::damaged("GIF: the file holds no frame");
        if (type == EXTENSION_RECORD_TYPE) {
            int code = 0;
            GifByteType* block = nullptr;
            if (DGifGetExtension(gif.get(), &code, &block) == GIF_ERROR)
                return DecodeResult::damaged(gifFailure(gif->Error));
            // Graphic control block: flags, delay (2 bytes), transparent index.
            if (code == GRAPHICS_EXT_FUNC_CODE && block && block[0] >= 4)
                transparent = (block[1] & 1) ? block[4] : -1;
            while (block) {
                if (DGifGetExtensionNext(gif.get(), &block) == GIF_ERROR)
                    return DecodeResult::damaged(gifFailure(gif->Error));
            }
            continue;
        }
        if (type != IMAGE_DESC_RECORD_TYPE)
            continue;
        if (DGifGetImageDesc(gif.get()) == GIF_ERROR)
            return DecodeResult::damaged(gifFailure(gif->Error));
        break;
    }

    const GifImageDesc& frame = gif->Image;
    if (frame.Width <= 0 || frame.Height <= 0 || frame.Left < 0 || frame.Top < 0)
        return DecodeResult::damaged("GIF: the first frame is empty");
    // One 12-bit LZW code stands for at most 4096 pixels.
    const std::int64_t mostPixels = static_cast<std::int64_t>(data.size()) * 4096;
    if (static_cast<std::int64_t>(frame.Width) * frame.Height > mostPixels)
        return DecodeResult::damaged("GIF: the first frame is far larger than the file");
    // A screen of 0 x 0 (some writers leave it empty) takes the frame's size; so does a screen
    // larger than the file's codes could ever cover, which would be background alone.
    const auto tooLarge = [&](int w, int h) {
        return static_cast<std::int64_t>(w) * h > mostPixels;
    };
    int width = gif->SWidth, height = gif->SHeight;
    int left = frame.Left, top = frame.Top;
    if (width <= 0 || height <= 0 || tooLarge(width, height)) {
        width = left + frame.Width;
        height = top + frame.Height;
        if (tooLarge(width, height)) {
            // The frame's place on such a screen is background too: the frame alone is shown.
            left = top = 0;
            width = frame.Width;
            height = frame.Height;
        }
    }
    if (Status size = decoders::checkPictureSize("GIF", width, height); !size)
        return size.error();

    const ColorMapObject* map = frame.ColorMap ? frame.ColorMap : gif->SColorMap;
    std::vector<Colour> palette;
    if (map && map->Colors && map->ColorCount > 0) {
        palette.assign(256, colours::kBlack);
        const int count = std::min(map->ColorCount, 256);
        for (int i = 0; i < count; ++i)
            palette[static_cast<std::size_t>(i)] = {map->Colors[i].Red, map->Colors[i].Green,
                                                    map->Colors[i].Blue};
    } else {
        palette = decoders::greyRamp(8);
    }

    Bitmap bitmap(width, height, PixelFormat::Bits8);
    bitmap.setPalette(std::move(palette));
    const auto background = static_cast<std::uint8_t>(gif->SBackGroundColor);
    if (background != 0)
        for (int y = 0; y < height; ++y)
            std::memset(bitmap.row(y), background, static_cast<std::size_t>(width));

    // Rows come in four passes when interlaced; each is read and then clipped to the screen.
    std::vector<GifPixelType> line(static_cast<std::size_t>(frame.Width));
    const int visible = std::clamp(width - left, 0, frame.Width);
    auto putRow = [&](int frameRow) {
        const int y = top + frameRow;
        if (y < height && visible > 0)
            std::memcpy(bitmap.row(y) + left, line.data(), static_cast<std::size_t>(visible));
    };
    if (frame.Interlace) {
        static constexpr int kStart[4] = {0, 4, 2, 1};
        static constexpr int kStep[4] = {8, 8, 4, 2};
        for (int pass = 0; pass < 4; ++pass)
            for (int r = kStart[pass]; r < frame.Height; r += kStep[pass]) {
                if (DGifGetLine(gif.get(), line.data(), frame.Width) == GIF_ERROR)
                    return DecodeResult::damaged(gifFailure(gif->Error));
                putRow(r);
            }
    } else {
        for (int r = 0; r < frame.Height; ++r) {
            if (DGifGetLine(gif.get(), line.data(), frame.Width) == GIF_ERROR)
                return DecodeResult::damaged(gifFailure(gif->Error));
            putRow(r);
        }
    }
    if (transparentIndex)
        *transparentIndex = transparent;
    return bitmap;
}

} // namespace parvane::imaging
