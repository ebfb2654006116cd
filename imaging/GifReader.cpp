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

// Reads records up to the first frame's descriptor; transparent receives the palette index
// that the graphic control block before it names, or -1.
Status findFirstFrame(GifFileType* gif, int& transparent) {
    transparent = -1;
    for (;;) {
        GifRecordType type = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif, &type) == GIF_ERROR)
            return Status::damaged(gifFailure(gif->Error));
        if (type == TERMINATE_RECORD_TYPE)
            return Status::damaged("GIF: the file holds no frame");
        if (type == EXTENSION_RECORD_TYPE) {
            int code = 0;
            GifByteType* block = nullptr;
            if (DGifGetExtension(gif, &code, &block) == GIF_ERROR)
                return Status::damaged(gifFailure(gif->Error));
            // Graphic control block: flags, delay (2 bytes), transparent index.
            if (code == GRAPHICS_EXT_FUNC_CODE && block && block[0] >= 4)
                transparent = (block[1] & 1) ? block[4] : -1;
            while (block) {
                if (DGifGetExtensionNext(gif, &block) == GIF_ERROR)
                    return Status::damaged(gifFailure(gif->Error));
            }
            continue;
        }
        if (type != IMAGE_DESC_RECORD_TYPE)
            continue;
        if (DGifGetImageDesc(gif) == GIF_ERROR)
            return Status::damaged(gifFailure(gif->Error));
        return {};
    }
}

// The picture's size and the frame's place in it.
struct GifScreen {
    int width = 0;
    int height = 0;
    int left = 0;
    int top = 0;
};

Result<GifScreen> screenFor(const GifFileType& gif, std::size_t fileSize) {
    const GifImageDesc& frame = gif.Image;
    if (frame.Width <= 0 || frame.Height <= 0 || frame.Left < 0 || frame.Top < 0)
        return Result<GifScreen>::damaged("GIF: the first frame is empty");
    // One 12-bit LZW code stands for at most 4096 pixels.
    const std::int64_t mostPixels = static_cast<std::int64_t>(fileSize) * 4096;
    if (static_cast<std::int64_t>(frame.Width) * frame.Height > mostPixels)
        return Result<GifScreen>::damaged("GIF: the first frame is far larger than the file");
    // A screen of 0 x 0 (some writers leave it empty) takes the frame's size; so does a screen
    // larger than the file's codes could ever cover, which would be background alone.
    const auto tooLarge = [&](int w, int h) {
        return static_cast<std::int64_t>(w) * h > mostPixels;
    };
    GifScreen screen{gif.SWidth, gif.SHeight, frame.Left, frame.Top};
    if (screen.width <= 0 || screen.height <= 0 || tooLarge(screen.width, screen.height)) {
        screen.width = screen.left + frame.Width;
        screen.height = screen.top + frame.Height;
        if (tooLarge(screen.width, screen.height)) {
            // The frame's place on such a screen is background too: the frame alone is shown.
            screen = {frame.Width, frame.Height, 0, 0};
        }
    }
    if (Status size = decoders::checkPictureSize("GIF", screen.width, screen.height); !size)
        return size.error();
    return screen;
}

// The frame's colour table, else the file's, else a grey ramp.
std::vector<Colour> framePalette(const GifFileType& gif) {
    const ColorMapObject* map = gif.Image.ColorMap ? gif.Image.ColorMap : gif.SColorMap;
    if (!map || !map->Colors || map->ColorCount <= 0)
        return decoders::greyRamp(8);
    std::vector<Colour> palette(256, colours::kBlack);
    const int count = std::min(map->ColorCount, 256);
    for (int i = 0; i < count; ++i)
        palette[static_cast<std::size_t>(i)] = {map->Colors[i].Red, map->Colors[i].Green,
                                                map->Colors[i].Blue};
    return palette;
}

// Reads the frame's rows into the screen: in four passes when interlaced, each row clipped
// to the screen.
Status readFrameRows(GifFileType* gif, const GifScreen& screen, Bitmap& bitmap) {
    const GifImageDesc& frame = gif->Image;
    std::vector<GifPixelType> line(static_cast<std::size_t>(frame.Width));
    const int visible = std::clamp(screen.width - screen.left, 0, frame.Width);
    auto readRow = [&](int frameRow) {
        if (DGifGetLine(gif, line.data(), frame.Width) == GIF_ERROR)
            return false;
        const int y = screen.top + frameRow;
        if (y < screen.height && visible > 0)
            std::memcpy(bitmap.row(y) + screen.left, line.data(),
                        static_cast<std::size_t>(visible));
        return true;
    };
    static constexpr int kStart[4] = {0, 4, 2, 1};
    static constexpr int kStep[4] = {8, 8, 4, 2};
    const int passes = frame.Interlace ? 4 : 1;
    for (int pass = 0; pass < passes; ++pass) {
        const int start = frame.Interlace ? kStart[pass] : 0;
        const int step = frame.Interlace ? kStep[pass] : 1;
        for (int r = start; r < frame.Height; r += step)
            if (!readRow(r))
                return Status::damaged(gifFailure(gif->Error));
    }
    return {};
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
    if (Status found = findFirstFrame(gif.get(), transparent); !found)
        return found.error();
    const Result<GifScreen> screen = screenFor(*gif, data.size());
    if (!screen)
        return screen.error();

    Bitmap bitmap(screen.value().width, screen.value().height, PixelFormat::Bits8);
    bitmap.setPalette(framePalette(*gif));
    const auto background = static_cast<std::uint8_t>(gif->SBackGroundColor);
    if (background != 0)
        for (int y = 0; y < bitmap.height(); ++y)
            std::memset(bitmap.row(y), background, static_cast<std::size_t>(bitmap.width()));
    if (Status read = readFrameRows(gif.get(), screen.value(), bitmap); !read)
        return read.error();
    if (transparentIndex)
        *transparentIndex = transparent;
    return bitmap;
}

} // namespace parvane::imaging
