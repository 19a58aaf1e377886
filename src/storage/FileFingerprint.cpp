#include "storage/FileFingerprint.h"

#include <algorithm>

namespace storage {

void FileFingerprint::mix(std::uint64_t word) {
    hash = (hash ^ word) * 0x9E3779B97F4A7C15ULL;
    hash ^= hash >> 29;
}

void FileFingerprint::add(std::string_view bytes) {
    size += bytes.size();
    // Whole words where possible: eight times fewer steps than byte by byte.
    while (partialBytes > 0 && !bytes.empty()) {
        partialWord |= std::uint64_t{static_cast<unsigned char>(bytes.front())} << (8 * partialBytes);
        bytes.remove_prefix(1);
        if (++partialBytes == 8) {
            mix(partialWord);
            partialWord = 0;
            partialBytes = 0;
        }
    }
    while (bytes.size() >= 8) {
        std::uint64_t word = 0;  // little-endian on every machine, as the partial words
        for (int i = 7; i >= 0; --i) word = (word << 8) | static_cast<unsigned char>(bytes[static_cast<std::size_t>(i)]);
        mix(word);
        bytes.remove_prefix(8);
    }
    for (unsigned char byte : bytes) partialWord |= std::uint64_t{byte} << (8 * partialBytes++);
}

void FileFingerprint::addBefore(long long bound, long long chunkStart, std::string_view chunk) {
    if (chunkStart >= bound) return;
    add(chunk.substr(0, static_cast<std::size_t>(std::min<long long>(bound - chunkStart, static_cast<long long>(chunk.size())))));
}

}  // namespace storage
