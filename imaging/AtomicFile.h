// Writing a whole file so that a failure never destroys what was there before: the bytes go to
// a temporary file in the same folder, which then replaces the target in one rename.
#pragma once

#include "Failure.h"

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

namespace parvane::imaging {

// Outcome of a save: success, or a Failure of kind WriteFailed whose reason carries the
// system's own words; the file routine's message names the file.
using WriteStatus = Status;

inline WriteStatus writeFailure(std::string reason) {
    return Failure{FailureKind::WriteFailed, std::move(reason)};
}

// Writes the new content of a file piece by piece into a temporary file beside it, which
// replaces the file in one rename on commit(). On any failure the old file (if any) is
// unchanged, no temporary file is left behind, and the message names the file and the cause.
// An existing file the user may not write (or that no one may write) is refused, not replaced.
// A new file gets the permissions the user's umask allows; a replaced file keeps its own.
class AtomicFileWriter {
public:
    explicit AtomicFileWriter(const std::filesystem::path& path);
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    // Success until a step fails; then the failure, and later steps do nothing.
    const WriteStatus& status() const { return status_; }
    // Appends bytes to the new content; false once anything has failed.
    bool write(std::span<const std::uint8_t> bytes);
    // Puts the new content in place of the file.
    WriteStatus commit();

private:
    bool fail(const char* reasonPattern, int error);

    std::filesystem::path path_;
    bool exists_ = false;
    unsigned existingMode_ = 0;
    int fd_ = -1;
    std::string temporary_;
    bool committed_ = false;
    WriteStatus status_;
};

// Writes bytes as the new content of path, as AtomicFileWriter does.
WriteStatus writeFileAtomically(const std::filesystem::path& path,
                                std::span<const std::uint8_t> bytes);

} // namespace parvane::imaging
