#pragma once
#include <cstdint>
#include <string_view>

namespace storage {

// Size and a 64-bit hash of a file's bytes, built chunk by chunk (the result
// does not depend on where the chunks end): tells whether a file still holds
// exactly the bytes that were loaded from it.
class FileFingerprint {
public:
    void add(std::string_view bytes);
    // Adds the part of `chunk`, which starts at `chunkStart` of the file,
    // that lies before `bound`.
    void addBefore(long long bound, long long chunkStart, std::string_view chunk);
    bool operator==(const FileFingerprint&) const = default;

private:
    void mix(std::uint64_t word);

    std::uint64_t size = 0;
    std::uint64_t hash = 0x243F6A8885A308D3ULL;
    std::uint64_t partialWord = 0;  // bytes that do not yet fill a word
    int partialBytes = 0;
};

}  // namespace storage
