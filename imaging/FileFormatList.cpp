#include "FileFormatList.h"

#include "FailureReason.h"
#include "ImageFiles.h"
#include "PixelBuffer.h"

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

template <typename Graphic> GraphicFactory factoryOf() {
    return [] { return std::make_unique<Graphic>(); };
}

// Icons and metafiles are registered so that the registry lists every extension the file
// dialogs know, but Parvane has no decoder for them: their reader says so.
DecodeResult refuseIcon(std::span<const std::uint8_t>) {
    return DecodeResult::unsupported("icons are not decoded");
}
DecodeResult refuseMetafile(std::span<const std::uint8_t>) {
    return DecodeResult::unsupported("metafiles are not decoded");
}

} // namespace

DecodeResult decodeGifFrame(std::span<const std::uint8_t> bytes) {
    return decodeGif(bytes);
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

void registerDefaultFileFormats(TFileFormatList& into) {
    using TIconGraphic = TReaderGraphic<refuseIcon>;
    using TMetafileGraphic = TReaderGraphic<refuseMetafile>;
    // Every extension below is new to the list, so none of the registrations can fail.
    struct {
        TFileFormatList& list;
        void RegisterFileFormat(std::string_view extension, std::string_view description,
                                GraphicFactory factory) {
            const Status added =
                list.RegisterFileFormat(extension, description, std::move(factory));
            (void)added;
        }
    } list{into};
    list.RegisterFileFormat("bmp", "Windows or OS/2 Bitmap", factoryOf<TBitmapGraphic>());
    list.RegisterFileFormat("ico", "Icon", factoryOf<TIconGraphic>());
    list.RegisterFileFormat("wmf", "Windows Metafile", factoryOf<TMetafileGraphic>());
    list.RegisterFileFormat("emf", "Enhanced Metafile", factoryOf<TMetafileGraphic>());
    for (const char* ext : {"jfif", "jpg", "jpe", "jpeg"})
        list.RegisterFileFormat(ext, "JPEG Image File", factoryOf<TJPEGGraphic>());
    list.RegisterFileFormat("rle", "Run-length encoded Bitmap", factoryOf<TBitmapGraphic>());
    list.RegisterFileFormat("dib", "Device independent Bitmap", factoryOf<TBitmapGraphic>());
    for (const char* ext : {"win", "vst", "vda", "tga", "icb"})
        list.RegisterFileFormat(ext, "Truevision Targa", factoryOf<TTargaGraphic>());
    for (const char* ext : {"tiff", "tif", "fax"})
        list.RegisterFileFormat(ext, "Tagged Image File", factoryOf<TTIFFGraphic>());
    for (const char* ext : {"pcx", "pcc", "scr"})
        list.RegisterFileFormat(ext, "ZSoft Paintbrush", factoryOf<TPCXGraphic>());
    for (const char* ext : {"psd", "pdd"})
        list.RegisterFileFormat(ext, "Adobe Photoshop", factoryOf<TPSDGraphic>());
    list.RegisterFileFormat("gif", "CompuServe GIF", factoryOf<TGIFGraphic>());
    list.RegisterFileFormat("psp", "Paint Shop Pro Image", factoryOf<TPSPGraphic>());
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

namespace {

// Reads the file with the reader its extension names and hands both to decode.
template <typename Decode>
DecodeResult decodeRegistered(const std::filesystem::path& path, const TFileFormatList& list,
                              Decode&& decode) {
    auto graphic = list.createGraphic(fileExtension(path));
    if (!graphic)
        return DecodeResult::unsupported(
            reasons::format(reasons::kNoReader, {upperCaseExtension(path)}));
    const FileBytes file = readWholeFile(path);
    if (!file.ok())
        return file.failure();
    return decode(*graphic, file.bytes());
}

} // namespace

DecodeResult loadRegisteredPicture(const std::filesystem::path& path, const TFileFormatList& list) {
    return decodeRegistered(path, list, [](auto& graphic, const auto& bytes) -> DecodeResult {
        return graphic.decode(bytes);
    });
}

DecodeResult loadRegisteredPictureWidening24Bits(const std::filesystem::path& path,
                                                 PixelFormat& fileFormat,
                                                 const TFileFormatList& list) {
    return decodeRegistered(path, list, [&fileFormat](auto& graphic, const auto& bytes) {
        return graphic.decodeWidening24Bits(bytes, fileFormat);
    });
}

} // namespace parvane::imaging
