#include "FileFormatList.h"

#include "FailureReason.h"
#include "ImageFiles.h"
#include "PixelBuffer.h"
#include "TgaWriter.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace parvane::imaging {

namespace {

std::string normalised(std::string_view extension) {
    if (!extension.empty() && extension.front() == '.')
        extension.remove_prefix(1);
    std::string lower(extension);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

template <typename Graphic> std::unique_ptr<TGraphicExGraphic> make() {
    return std::make_unique<Graphic>();
}

// Icons and metafiles are listed so that the registry holds every extension the file dialogs
// know, but Parvane has no decoder for them: their reader says so.
DecodeResult refuseIcon(std::span<const std::uint8_t>) {
    return DecodeResult::unsupported("icons are not decoded");
}
DecodeResult refuseMetafile(std::span<const std::uint8_t>) {
    return DecodeResult::unsupported("metafiles are not decoded");
}
using TIconGraphic = TReaderGraphic<refuseIcon>;
using TMetafileGraphic = TReaderGraphic<refuseMetafile>;

// ".bmp", ".jpg" and ".jpeg", ".tga", ".tif" and ".tiff", ".psd", ".psp" and ".pspimage", ".pcx"
// and ".png" load; the other extensions of the same readers (".jpe", ".dib", ".fax", ...) are
// there for the preview alone.
constexpr PictureFormat kFormats[] = {
    {"bmp", "Windows or OS/2 Bitmap", make<TBitmapGraphic>, LoadClass::Bitmap,
     PixelRule::Widen24BitsWhileDecoding, saveBmp},
    {"ico", "Icon", make<TIconGraphic>},
    {"wmf", "Windows Metafile", make<TMetafileGraphic>},
    {"emf", "Enhanced Metafile", make<TMetafileGraphic>},
    {"jfif", "JPEG Image File", make<TJPEGGraphic>},
    {"jpg", "JPEG Image File", make<TJPEGGraphic>, LoadClass::Jpeg, PixelRule::ConvertAfterDecoding,
     saveJpeg},
    {"jpe", "JPEG Image File", make<TJPEGGraphic>},
    {"jpeg", "JPEG Image File", make<TJPEGGraphic>, LoadClass::Jpeg},
    {"rle", "Run-length encoded Bitmap", make<TBitmapGraphic>},
    {"dib", "Device independent Bitmap", make<TBitmapGraphic>},
    {"win", "Truevision Targa", make<TTargaGraphic>},
    {"vst", "Truevision Targa", make<TTargaGraphic>},
    {"vda", "Truevision Targa", make<TTargaGraphic>},
    {"tga", "Truevision Targa", make<TTargaGraphic>, LoadClass::Registered,
     PixelRule::Widen24BitsWhileDecoding, SaveAsUncompTGA24bits},
    {"icb", "Truevision Targa", make<TTargaGraphic>},
    {"tiff", "Tagged Image File", make<TTIFFGraphic>, LoadClass::Registered},
    {"tif", "Tagged Image File", make<TTIFFGraphic>, LoadClass::Registered},
    {"fax", "Tagged Image File", make<TTIFFGraphic>},
    {"pcx", "ZSoft Paintbrush", make<TPCXGraphic>, LoadClass::Registered},
    {"pcc", "ZSoft Paintbrush", make<TPCXGraphic>},
    {"scr", "ZSoft Paintbrush", make<TPCXGraphic>},
    {"psd", "Adobe Photoshop", make<TPSDGraphic>, LoadClass::Registered},
    {"pdd", "Adobe Photoshop", make<TPSDGraphic>},
    {"gif", "CompuServe GIF", make<TGIFGraphic>},
    {"psp", "Paint Shop Pro Image", make<TPSPGraphic>, LoadClass::Registered},
    {"pspimage", "Paint Shop Pro Image", make<TPSPGraphic>, LoadClass::Registered},
    {"png", "Portable Network Graphics", make<TPNGGraphic>, LoadClass::Registered,
     PixelRule::Widen24BitsWhileDecoding, savePng},
};

} // namespace

DecodeResult decodeGifFrame(std::span<const std::uint8_t> bytes) {
    return decodeGif(bytes);
}

std::span<const PictureFormat> pictureFormats() {
    return kFormats;
}

const PictureFormat* pictureFormatFor(const std::filesystem::path& path) {
    const std::string extension = fileExtension(path);
    if (extension.empty())
        return nullptr;
    const std::string key = normalised(extension);
    for (const PictureFormat& format : kFormats)
        if (format.extension == key)
            return &format;
    return nullptr;
}

Status TFileFormatList::RegisterFileFormat(std::string_view extension, std::string_view description,
                                           GraphicFactory factory, bool replace) {
    std::string key = normalised(extension);
    auto it = std::find_if(entries_.begin(), entries_.end(),
                           [&](const Entry& e) { return e.extension == key; });
    if (it != entries_.end()) {
        if (!replace)
            return Status::failure(FailureKind::Unsupported,
                                   "Attempt to register " + key + " twice.");
        it->description = std::string(description);
        it->factory = std::move(factory);
        return {};
    }
    entries_.push_back({std::move(key), std::string(description), std::move(factory)});
    return {};
}

void TFileFormatList::UnregisterFileFormat(std::string_view extension) {
    const std::string key = normalised(extension);
    std::erase_if(entries_, [&](const Entry& e) { return e.extension == key; });
}

const TFileFormatList::Entry* TFileFormatList::find(std::string_view extension) const {
    const std::string key = normalised(extension);
    for (const Entry& e : entries_)
        if (e.extension == key)
            return &e;
    return nullptr;
}

std::unique_ptr<TGraphicExGraphic>
TFileFormatList::createGraphic(std::string_view extension) const {
    const Entry* e = find(extension);
    return e ? e->factory() : nullptr;
}

std::vector<std::string> TFileFormatList::extensions() const {
    std::vector<std::string> out;
    out.reserve(entries_.size());
    for (const Entry& e : entries_)
        out.push_back(e.extension);
    return out;
}

void registerDefaultFileFormats(TFileFormatList& list) {
    // The table holds each extension once, so none of the registrations can fail.
    for (const PictureFormat& format : kFormats) {
        const Status added =
            list.RegisterFileFormat(format.extension, format.description, format.reader);
        (void)added;
    }
}

TFileFormatList& FileFormatList() {
    static TFileFormatList list = [] {
        TFileFormatList l;
        registerDefaultFileFormats(l);
        return l;
    }();
    return list;
}

FileBytes::~FileBytes() {
    release();
}

FileBytes::FileBytes(FileBytes&& other) noexcept {
    *this = std::move(other);
}

FileBytes& FileBytes::operator=(FileBytes&& other) noexcept {
    if (this != &other) {
        release();
        bytes_ = std::exchange(other.bytes_, {});
        mapping_ = std::exchange(other.mapping_, nullptr);
        copy_ = std::move(other.copy_);
        failure_ = std::move(other.failure_);
    }
    return *this;
}

void FileBytes::release() {
    if (mapping_)
        ::munmap(mapping_, bytes_.size());
    mapping_ = nullptr;
    bytes_ = {};
    copy_.clear();
}

FileBytes readWholeFile(const std::filesystem::path& path) {
    FileBytes out;
    // Only regular files are pictures: opening a named pipe would wait for a writer forever,
    // and a device would be read until the size limit.
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (!ec && std::filesystem::is_directory(status)) {
        out.failure_ = Failure{FailureKind::Unsupported, reasons::kIsFolder};
        return out;
    }
    if (!ec && !std::filesystem::is_regular_file(status)) {
        out.failure_ = Failure{FailureKind::Unsupported, reasons::kNotRegularFile};
        return out;
    }
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        out.failure_ = errno == ENOENT
                           ? Failure{FailureKind::FileMissing, reasons::kFileMissing}
                           : Failure{FailureKind::Unsupported,
                                     reasons::format(reasons::kCannotOpen, {std::strerror(errno)})};
        return out;
    }
    struct stat st {};
    constexpr auto kLimit =
        static_cast<std::size_t>(Bitmap::kMaxPixelBytes) + (std::size_t{1} << 20);
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        out.failure_ = Failure{FailureKind::Unsupported, reasons::kNotRegularFile};
    } else if (static_cast<std::uint64_t>(st.st_size) > kLimit) {
        out.failure_ = Failure{FailureKind::TooLarge, reasons::kFileTooLarge};
    } else if (st.st_size > 0) {
        const auto size = static_cast<std::size_t>(st.st_size);
        // The pages are read ahead as they are mapped; the decoder then reads them in place.
        void* p = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
        if (p != MAP_FAILED) {
            ::madvise(p, size, MADV_SEQUENTIAL);
            out.mapping_ = p;
            out.bytes_ = {static_cast<const std::uint8_t*>(p), size};
        } else {
            // A file system that cannot map files: read it instead.
            out.copy_.resize(size);
            std::size_t done = 0;
            while (done < size) {
                const ssize_t n = ::read(fd, out.copy_.data() + done, size - done);
                if (n < 0 && errno == EINTR)
                    continue;
                if (n <= 0)
                    break;
                done += static_cast<std::size_t>(n);
            }
            if (done < size) {
                out.copy_.clear();
                out.failure_ =
                    Failure{FailureKind::Unsupported,
                            reasons::format(reasons::kCannotRead, {std::strerror(errno)})};
            } else {
                out.bytes_ = out.copy_;
            }
        }
    }
    ::close(fd);
    return out;
}

DecodeResult loadRegisteredPicture(const std::filesystem::path& path, const TFileFormatList& list) {
    auto graphic = list.createGraphic(fileExtension(path));
    if (!graphic)
        return DecodeResult::unsupported(
            reasons::format(reasons::kNoReader, {upperCaseExtension(path)}));
    const FileBytes file = readWholeFile(path);
    if (!file.ok())
        return file.failure();
    return graphic->decode(file.bytes());
}

} // namespace parvane::imaging
