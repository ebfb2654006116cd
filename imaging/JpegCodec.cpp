#include "JpegCodec.h"

#include "DecoderSupport.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <jpeglib.h>
// jerror.h after jpeglib.h: it names the message codes.
#include <jerror.h>

namespace parvane::imaging {

// libjpeg reports fatal errors through error_exit, which must not return. It jumps back to the
// setjmp in runDecode/runEncode; the functions between hold no C++ objects with destructors, so
// nothing is skipped. Every object that needs cleaning up lives in the callers' frames.

namespace {

// Progressive files can hold any number of scans; a few hundred is far beyond real files and
// keeps hostile ones from spinning for minutes.
constexpr int kMaxScans = 500;
// Working memory libjpeg may take (coefficient buffers of progressive pictures).
constexpr long kMaxJpegMemory = 1L << 30;

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    int code;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void failWith(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    err->code = err->pub.msg_code;
    err->pub.format_message(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

void onErrorExit(j_common_ptr cinfo) {
    failWith(cinfo);
}

// Warnings stay quiet, except those that mean the data ran out: libjpeg would fill the rest of
// the picture with grey and call it a success.
void onMessage(j_common_ptr cinfo, int level) {
    if (level >= 0)
        return;
    const int code = cinfo->err->msg_code;
    if (code == JWRN_JPEG_EOF || code == JWRN_HIT_MARKER)
        failWith(cinfo);
    cinfo->err->num_warnings++;
}

void onProgress(j_common_ptr cinfo) {
    if (!cinfo->is_decompressor)
        return;
    const auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
    if (d->input_scan_number > kMaxScans) {
        auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
        err->code = 0;
        std::snprintf(err->message, sizeof err->message, "more than %d scans", kMaxScans);
        std::longjmp(err->jump, 1);
    }
}

void installErrorManager(ErrorManager& err) {
    jpeg_std_error(&err.pub);
    err.pub.error_exit = onErrorExit;
    err.pub.emit_message = onMessage;
    err.code = 0;
    err.message[0] = '\0';
}

// What runDecode needs from the C++ side; its members are owned by decodeJpeg's frame.
struct DecodeJob {
    std::span<const std::uint8_t> data;
    Bitmap* bitmap;
    std::vector<std::uint8_t>* cmykRow;
    std::string* sizeReason; // set when the picture is refused before decoding
};

// Creates the bitmap for the header just read; false (and a reason) when it is refused.
bool prepareBitmap(DecodeJob& job, const jpeg_decompress_struct& cinfo) {
    const std::int64_t w = cinfo.image_width;
    const std::int64_t h = cinfo.image_height;
    if (Status size = decoders::checkPictureSize("JPEG", w, h); !size) {
        *job.sizeReason = size.error().reason;
        return false;
    }
    // Every 8x8 block of a Huffman-coded picture costs at least one bit; a file far smaller than
    // its declared size is damaged, and refusing it spares allocating for it.
    const std::int64_t minimumBytes = cinfo.arith_code ? w * h / 65536 : w * h / 512;
    if (static_cast<std::int64_t>(job.data.size()) < minimumBytes) {
        *job.sizeReason = "JPEG: " + std::to_string(job.data.size()) +
                          " bytes cannot hold a picture of " + std::to_string(w) + "x" +
                          std::to_string(h);
        return false;
    }
    const bool grey = cinfo.out_color_space == JCS_GRAYSCALE;
    *job.bitmap = Bitmap(static_cast<int>(w), static_cast<int>(h),
                         grey ? PixelFormat::Bits8 : PixelFormat::Bits24);
    if (grey)
        job.bitmap->setPalette(decoders::greyRamp(8));
    if (cinfo.out_color_space == JCS_CMYK)
        job.cmykRow->resize(static_cast<std::size_t>(w) * 4);
    return true;
}

// Adobe writes CMYK (and YCCK) inverted: the stored byte is 255 minus the ink. The colour of
// an inverted pixel is then simply C' x K' / 255 and likewise for M and Y.
void cmykToBgr(const std::uint8_t* cmyk, std::uint8_t* out, std::size_t width, bool inverted) {
    for (std::size_t x = 0; x < width; ++x, cmyk += 4, out += 3) {
        unsigned c = cmyk[0], m = cmyk[1], y = cmyk[2], k = cmyk[3];
        if (!inverted) {
            c = 255 - c;
            m = 255 - m;
            y = 255 - y;
            k = 255 - k;
        }
        out[0] = static_cast<std::uint8_t>((y * k + 127) / 255);
        out[1] = static_cast<std::uint8_t>((m * k + 127) / 255);
        out[2] = static_cast<std::uint8_t>((c * k + 127) / 255);
    }
}

// 0 on success, 1 when libjpeg failed (err holds the message), 2 when the size was refused.
int runDecode(jpeg_decompress_struct* cinfo, ErrorManager* err, jpeg_progress_mgr* progress,
              DecodeJob* job) {
    if (setjmp(err->jump))
        return 1;
    jpeg_create_decompress(cinfo);
    cinfo->mem->max_memory_to_use = kMaxJpegMemory;
    cinfo->progress = progress;
    jpeg_mem_src(cinfo, job->data.data(), static_cast<unsigned long>(job->data.size()));
    jpeg_read_header(cinfo, TRUE);
    switch (cinfo->jpeg_color_space) {
    case JCS_GRAYSCALE:
        cinfo->out_color_space = JCS_GRAYSCALE;
        break;
    case JCS_CMYK:
    case JCS_YCCK:
        cinfo->out_color_space = JCS_CMYK;
        break;
    default:
        cinfo->out_color_space = JCS_EXT_BGR;
        break;
    }
    cinfo->dct_method = JDCT_ISLOW;
    cinfo->do_fancy_upsampling = TRUE;
    if (!prepareBitmap(*job, *cinfo))
        return 2;
    jpeg_start_decompress(cinfo);
    const bool cmyk = cinfo->out_color_space == JCS_CMYK;
    const bool inverted = cinfo->saw_Adobe_marker;
    while (cinfo->output_scanline < cinfo->output_height) {
        const int y = static_cast<int>(cinfo->output_scanline);
        JSAMPROW row = cmyk ? job->cmykRow->data() : job->bitmap->row(y);
        jpeg_read_scanlines(cinfo, &row, 1);
        if (cmyk)
            cmykToBgr(row, job->bitmap->row(y), cinfo->output_width, inverted);
    }
    jpeg_finish_decompress(cinfo);
    return 0;
}

struct EncodeJob {
    const Bitmap* bitmap; // 24 bits
    int quality;
    unsigned char** buffer;
    unsigned long* size;
};

bool runEncode(jpeg_compress_struct* cinfo, ErrorManager* err, EncodeJob* job) {
    if (setjmp(err->jump))
        return false;
    jpeg_create_compress(cinfo);
    jpeg_mem_dest(cinfo, job->buffer, job->size);
    cinfo->image_width = static_cast<JDIMENSION>(job->bitmap->width());
    cinfo->image_height = static_cast<JDIMENSION>(job->bitmap->height());
    cinfo->input_components = 3;
    cinfo->in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(cinfo);
    jpeg_set_quality(cinfo, job->quality, TRUE);
    cinfo->write_JFIF_header = TRUE;
    jpeg_start_compress(cinfo, TRUE);
    while (cinfo->next_scanline < cinfo->image_height) {
        JSAMPROW row =
            const_cast<JSAMPROW>(job->bitmap->row(static_cast<int>(cinfo->next_scanline)));
        jpeg_write_scanlines(cinfo, &row, 1);
    }
    jpeg_finish_compress(cinfo);
    return true;
}

std::string failureText(const ErrorManager& err) {
    return jpegErrorText(err.code) + ": " + err.message;
}

} // namespace

std::string jpegErrorText(int messageCode) {
    return "JPEG error #" + std::to_string(messageCode);
}

DecodeResult decodeJpeg(std::span<const std::uint8_t> data) {
    if (data.size() < 2 || data[0] != 0xFF || data[1] != 0xD8)
        // Reported with the library's own number, as every other JPEG failure is.
        return DecodeResult::notThisFormat(jpegErrorText(JERR_NO_SOI) +
                                           ": Not a JPEG file: no start-of-image marker");
    jpeg_decompress_struct cinfo{};
    ErrorManager err;
    installErrorManager(err);
    cinfo.err = &err.pub;
    jpeg_progress_mgr progress{};
    progress.progress_monitor = onProgress;
    Bitmap bitmap;
    std::vector<std::uint8_t> cmykRow;
    std::string sizeReason;
    DecodeJob job{data, &bitmap, &cmykRow, &sizeReason};
    const int outcome = runDecode(&cinfo, &err, &progress, &job);
    jpeg_destroy_decompress(&cinfo);
    if (outcome == 1)
        return DecodeResult::damaged(failureText(err));
    if (outcome == 2)
        return DecodeResult::damaged(sizeReason);
    return bitmap;
}

JpegEncoded encodeJpeg(const Bitmap& bitmap, int quality) {
    if (bitmap.isEmpty()) {
        // libjpeg refuses empty pictures with "Empty JPEG image (DNL not supported)".
        return JpegEncoded::failure(FailureKind::WriteFailed,
                                    jpegErrorText(JERR_EMPTY_IMAGE) + ": empty picture");
    }
    const Bitmap* source = &bitmap;
    Bitmap converted;
    if (bitmap.format() != PixelFormat::Bits24) {
        converted = bitmap.converted(PixelFormat::Bits24);
        source = &converted;
    }
    jpeg_compress_struct cinfo{};
    ErrorManager err;
    installErrorManager(err);
    cinfo.err = &err.pub;
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    EncodeJob job{source, quality, &buffer, &size};
    const bool ok = runEncode(&cinfo, &err, &job);
    jpeg_destroy_compress(&cinfo);
    JpegEncoded result = ok && buffer
                             ? JpegEncoded(std::vector<std::uint8_t>(buffer, buffer + size))
                             : JpegEncoded::failure(FailureKind::WriteFailed, failureText(err));
    std::free(buffer);
    return result;
}

WriteStatus saveJpeg(const Bitmap& bitmap, const std::filesystem::path& fileName) {
    const JpegEncoded encoded = encodeJpeg(bitmap, kJpegQuality);
    if (!encoded)
        return encoded.error();
    return writeFileAtomically(fileName, encoded.value());
}

} // namespace parvane::imaging
