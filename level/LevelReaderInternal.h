// Pieces shared by the files of the level reader; not part of its public interface.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace parvane::level::detail {

// Thrown inside the reader when the file contradicts itself; LoadLevel turns it into result
// kLoadDamaged with the message as the reason.
class LevelDamaged : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Inflates one zlib stream. The output may not exceed limit bytes (nor what deflate's greatest
// ratio allows for the compressed bytes); estimate is the size the file states, used only to
// size the buffer up front, since writers store sizes that are 0, too small or too large.
// Returns false with error set when the stream is damaged, ends early or inflates beyond limit.
bool inflateChunk(std::span<const std::uint8_t> compressed, std::size_t estimate, std::size_t limit,
                  std::vector<std::uint8_t>& out, std::string& error);

} // namespace parvane::level::detail

namespace parvane::level {
class TMemFile;
struct RecordArray;
} // namespace parvane::level

namespace parvane::level::detail {

// Throws LevelDamaged when an earlier read ran past the end of the image.
void ensureRead(const TMemFile& file, const char* what);
// Reads a record count (4 bytes, or 2 when count16) and checks that count records of
// recordBytes fit in the bytes left, so nothing is sized beyond what the file can hold.
std::uint32_t readCount(TMemFile& file, std::size_t recordBytes, const char* what,
                        bool count16 = false);
// Copies the next records of the file into a sized record array.
void readRecordsInto(TMemFile& file, RecordArray& array);
// Throws LevelDamaged unless count records of recordBytes fit in the bytes left.
void requireRecords(const TMemFile& file, std::uint64_t count, std::size_t recordBytes,
                    const char* what);

} // namespace parvane::level::detail
