#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "console/KeyDecoder.h"
#include "console/Keys.h"
#include "support/Tables.h"

// The key decoder against tables/key-decoder.txt: what terminals send, and
// the keys that must come out of it.
namespace {

std::vector<int> takeAll(KeyDecoder& decoder) {
    std::vector<int> codes;
    while (decoder.hasKey()) codes.push_back(decoder.takeKey());
    return codes;
}

// Plays a row's reads: byte tokens are fed at the time in force; "@N" sets
// the time, "expire" and "end" call the decoder, "wait=N" and "none" check it;
// "terminal" and "delay=N" set the decoder up before the first read.
std::vector<int> play(const std::string& timeline, std::string& fault) {
    KeyDecoder::Options options;
    KeyDecoder decoder;
    std::vector<int> codes;
    long long now = 0;
    std::istringstream tokens(timeline);
    for (std::string token; tokens >> token;) {
        if (token == "terminal" || token.starts_with("delay=")) {
            if (token == "terminal") options.fromTerminal = true;
            else options.escapeDelayMs = std::stoi(token.substr(6));
            decoder = KeyDecoder(options);
        } else if (token[0] == '@') {
            now = std::stoll(token.substr(1));
        } else if (token == "expire") {
            decoder.expire(now);
        } else if (token == "end") {
            decoder.endOfInput();
        } else if (token == "none") {
            if (decoder.hasKey()) fault += " a key before " + token;
        } else if (token.rfind("wait=", 0) == 0) {
            const int until = decoder.millisecondsUntilExpiry(now);
            if (until != std::stoi(token.substr(5))) fault += " " + token + " is " + std::to_string(until);
        } else {
            decoder.feed(tables::unescape(token), now);
        }
        for (int code : takeAll(decoder)) codes.push_back(code);
    }
    return codes;
}

TEST(KeyDecoder, Table) {
    for (const tables::Row& row : tables::read("key-decoder.txt")) {
        SCOPED_TRACE("key-decoder.txt:" + std::to_string(row.line) + ": " + row.left);
        std::string fault;
        const std::vector<int> expected = keys::parseNotation(row.right);
        EXPECT_EQ(keys::formatNotation(play(row.left, fault)), keys::formatNotation(expected));
        EXPECT_EQ(fault, "");
        // Bytes read at once must decode the same however the reads cut them.
        const std::string bytes = tables::unescape(row.left);
        if (row.left.find(' ') != std::string::npos || bytes.size() > 64) continue;
        for (std::size_t first = 0; first <= bytes.size(); ++first) {
            for (std::size_t second = first; second <= bytes.size(); ++second) {
                KeyDecoder decoder;
                decoder.feed(bytes.substr(0, first), 0);
                decoder.feed(bytes.substr(first, second - first), 0);
                decoder.feed(bytes.substr(second), 0);
                ASSERT_EQ(takeAll(decoder), expected) << "cut at " << first << ", " << second;
            }
        }
    }
}

// Random bytes, weighted towards those that steer the decoder, in random reads
// and pauses: only whole keys come out (0 and 224 only as an extended key's prefix).
TEST(KeyDecoder, HostileBytesGiveOnlyWholeKeys) {
  for (const bool fromTerminal : {false, true}) {
    std::mt19937 random(20240611);
    const std::string steering = "\x1b[O;0123456789~$^@ABCDHFPQRSu\xc3\xe2\xf0\x80\xbf]\x07\\";
    KeyDecoder decoder({.fromTerminal = fromTerminal});
    long long now = 0;
    std::vector<int> codes;
    for (int chunk = 0; chunk < 20000; ++chunk) {
        std::string bytes(random() % 40, '\0');
        for (char& byte : bytes) byte = random() % 2 ? steering[random() % steering.size()] : static_cast<char>(random());
        now += random() % 80;
        decoder.feed(bytes, now);
        if (random() % 4 == 0) decoder.expire(now + random() % 200);
        for (int code : takeAll(decoder)) codes.push_back(code);
    }
    decoder.endOfInput();
    for (int code : takeAll(decoder)) codes.push_back(code);
    for (std::size_t i = 0; i < codes.size(); ++i) {
        ASSERT_TRUE(codes[i] >= 0 && codes[i] <= 255);
        if (!keys::isExtendedPrefix(codes[i])) continue;
        ASSERT_LT(i + 1, codes.size());
        // A key the notation has no name for shows as <#N>.
        ASSERT_EQ(keys::formatNotation({codes[i], codes[i + 1]}).find("<#"), std::string::npos) << codes[i] << " " << codes[i + 1];
        ++i;
    }
    decoder.expire(now + 1000);
    decoder.feed("\x1b[B", now + 1000);
    EXPECT_EQ(takeAll(decoder), keys::parseNotation("<Down>"));
  }
}

}  // namespace
