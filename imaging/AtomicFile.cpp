#include "AtomicFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace parvane::imaging {

namespace {

std::string describe(const std::filesystem::path& path, const char* what, int error) {
    return "Cannot save " + path.string() + ": " + what + " (" + std::strerror(error) + ").";
}

// Closes and removes the temporary file unless it was committed.
class TemporaryFile {
public:
    TemporaryFile(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
    ~TemporaryFile() {
        if (fd_ >= 0)
            ::close(fd_);
        if (!committed_)
            ::unlink(path_.c_str());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    int fd() const { return fd_; }
    const std::string& path() const { return path_; }
    int close() {
        const int rc = ::close(fd_);
        fd_ = -1;
        return rc;
    }
    void commit() { committed_ = true; }

private:
    int fd_;
    std::string path_;
    bool committed_ = false;
};

} // namespace

WriteStatus writeFileAtomically(const std::filesystem::path& requested,
                                std::span<const std::uint8_t> bytes) {
    if (requested.empty())
        return WriteStatus::failure("Cannot save: no file name given.");
    // Replace the file a symbolic link points to, not the link itself.
    std::filesystem::path path = requested;
    std::error_code ec;
    if (std::filesystem::is_symlink(path, ec)) {
        const auto resolved = std::filesystem::canonical(path, ec);
        if (!ec)
            path = resolved;
    }
    struct stat existing {};
    const bool exists = ::stat(path.c_str(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode))
        return WriteStatus::failure("Cannot save " + requested.string() + ": it is a folder.");

    const std::filesystem::path folder =
        path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
    std::string pattern = (folder / ("." + path.filename().string() + ".XXXXXX")).string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = ::mkstemp(name.data());
    if (fd < 0)
        return WriteStatus::failure(describe(requested, "the folder cannot be written", errno));
    TemporaryFile temp(fd, name.data());

    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(temp.fd(), bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return WriteStatus::failure(describe(requested, "writing failed", errno));
        }
        done += static_cast<std::size_t>(n);
    }
    mode_t mode;
    if (exists) {
        mode = existing.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    if (::fchmod(temp.fd(), mode) != 0)
        return WriteStatus::failure(describe(requested, "setting its permissions failed", errno));
    if (temp.close() != 0)
        return WriteStatus::failure(describe(requested, "writing failed", errno));
    if (::rename(temp.path().c_str(), path.c_str()) != 0)
        return WriteStatus::failure(describe(requested, "replacing the file failed", errno));
    temp.commit();
    return WriteStatus::success();
}

} // namespace parvane::imaging
