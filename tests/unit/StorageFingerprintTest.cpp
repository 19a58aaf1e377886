#include <gtest/gtest.h>

#include <string>

#include "storage/FileFingerprint.h"

namespace {

storage::FileFingerprint inChunksOf(const std::string& bytes, std::size_t chunk) {
    storage::FileFingerprint fingerprint;
    for (std::size_t at = 0; at < bytes.size(); at += chunk) fingerprint.add(std::string_view(bytes).substr(at, chunk));
    return fingerprint;
}

// A file may come in reads of any length; only its bytes may decide.
TEST(StorageFingerprint, DependsOnTheBytesNotOnHowTheyWereRead) {
    const std::string bytes = "Komoedie,Der Fall,The Case,95,\r\nDrama,x,y,1,\r\n";
    for (std::size_t chunk : {1u, 3u, 7u, 8u, 9u, 64u}) EXPECT_TRUE(inChunksOf(bytes, chunk) == inChunksOf(bytes, 1000));
}

TEST(StorageFingerprint, TellsApartEqualSizedAndPrefixedContents) {
    EXPECT_FALSE(inChunksOf("a,b,c,d,\r\nnew,,,,\r\n", 4) == inChunksOf("a,b,c,d,\r\nNEW,,,,\r\n", 4));
    EXPECT_FALSE(inChunksOf("abcdefgh", 8) == inChunksOf("abcdefghX", 8));
    EXPECT_FALSE(inChunksOf(std::string(8, '\0'), 8) == inChunksOf("", 8));
}

}  // namespace
