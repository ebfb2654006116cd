#include "AtomicFile.h"

#include "FailureReason.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace parvane::imaging {

namespace {} // namespace

AtomicFileWriter::AtomicFileWriter(const std::filesystem::path& requested) : path_(requested) {
    if (requested.empty()) {
        status_ = writeFailure(reasons::kNoFileName);
        return;
    }
    // Replace the file a symbolic link points to, not the link itself.
    std::error_code ec;
    if (std::filesystem::is_symlink(path_, ec)) {
        const auto resolved = std::filesystem::canonical(path_, ec);
        if (!ec)
            path_ = resolved;
    }
    struct stat existing {};
    exists_ = ::stat(path_.c_str(), &existing) == 0;
    if (exists_ && S_ISDIR(existing.st_mode)) {
        status_ = writeFailure(reasons::kSaveOnFolder);
        return;
    }
    // The rename would replace a file the user may not write, since only the folder's
    // permission counts for it; such a file is refused instead. A file that has no write
    // permission for anyone is read-only even to the administrator.
    if (exists_ && (::access(path_.c_str(), W_OK) != 0 ||
                    (existing.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)) {
        fail(reasons::kReadOnly, EACCES);
        return;
    }
    existingMode_ = existing.st_mode & 07777;

    const std::filesystem::path folder =
        path_.has_parent_path() ? path_.parent_path() : std::filesystem::path(".");
    std::string pattern = (folder / ("." + path_.filename().string() + ".XXXXXX")).string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    fd_ = ::mkstemp(name.data());
    if (fd_ < 0) {
        fail(reasons::kFolderNotWritable, errno);
        return;
    }
    temporary_ = name.data();
}

AtomicFileWriter::~AtomicFileWriter() {
    if (fd_ >= 0)
        ::close(fd_);
    if (!temporary_.empty() && !committed_)
        ::unlink(temporary_.c_str());
}

bool AtomicFileWriter::fail(const char* reasonPattern, int error) {
    status_ = writeFailure(reasons::format(reasonPattern, {std::strerror(error)}));
    return false;
}

bool AtomicFileWriter::write(std::span<const std::uint8_t> bytes) {
    if (!status_)
        return false;
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return fail(reasons::kWriteFailed, errno);
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

WriteStatus AtomicFileWriter::commit() {
    if (!status_)
        return status_;
    mode_t mode;
    if (exists_) {
        mode = static_cast<mode_t>(existingMode_);
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    if (::fchmod(fd_, mode) != 0) {
        fail(reasons::kPermissionsFailed, errno);
        return status_;
    }
    const int closed = ::close(fd_);
    fd_ = -1;
    if (closed != 0) {
        fail(reasons::kWriteFailed, errno);
        return status_;
    }
    if (::rename(temporary_.c_str(), path_.c_str()) != 0) {
        fail(reasons::kReplaceFailed, errno);
        return status_;
    }
    committed_ = true;
    return status_;
}

WriteStatus writeFileAtomically(const std::filesystem::path& path,
                                std::span<const std::uint8_t> bytes) {
    AtomicFileWriter writer(path);
    writer.write(bytes);
    return writer.commit();
}

} // namespace parvane::imaging
