#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <vector>

#include "console/KeyDecoder.h"

// The decoder over time and across reads: split sequences, the lone Escape,
// end of input and hostile byte streams.
namespace {

std::vector<int> takeAll(KeyDecoder& decoder) {
    std::vector<int> codes;
    while (decoder.hasKey()) codes.push_back(decoder.takeKey());
    return codes;
}

std::vector<int> decodeInParts(const std::string& bytes, const std::vector<std::size_t>& cuts) {
    KeyDecoder decoder;
    std::size_t start = 0;
    for (std::size_t cut : cuts) {
        decoder.feed(std::string_view(bytes).substr(start, cut - start), 0);
        start = cut;
    }
    decoder.feed(std::string_view(bytes).substr(start), 0);
    return takeAll(decoder);
}

const std::string SAMPLE =
    "a\x1b[A\x1bOP\x1b[[B\x1b[15;2~\x1b[1;5D\x1b[7$\xc3\xa4\xe2\x82\xac\x1bx\x1b[200~z\x1b[201~"
    "\x1b[24~\xc3\x9f\x1b[99~\r";

TEST(KeyDecoderStream, EveryWayOfCuttingTheSampleGivesTheSameCodes) {
    const std::vector<int> whole = decodeInParts(SAMPLE, {});
    ASSERT_EQ(whole, (std::vector<int>{97, 224, 72, 0, 59, 0, 60, 0, 63, 224, 75, 224, 71, 132, 27,
                                       120, 122, 224, 134, 225, 13}));
    for (std::size_t first = 0; first <= SAMPLE.size(); ++first) {
        for (std::size_t second = first; second <= SAMPLE.size(); ++second) {
            ASSERT_EQ(decodeInParts(SAMPLE, {first, second}), whole) << first << ", " << second;
        }
    }
    std::vector<std::size_t> everyByte;
    for (std::size_t cut = 1; cut < SAMPLE.size(); ++cut) everyByte.push_back(cut);
    EXPECT_EQ(decodeInParts(SAMPLE, everyByte), whole);
}

TEST(KeyDecoderStream, LoneEscapeArrivesAfterTheTimeout) {
    KeyDecoder decoder;
    EXPECT_EQ(decoder.millisecondsUntilExpiry(1000), -1);
    decoder.feed("\x1b", 1000);
    EXPECT_EQ(decoder.millisecondsUntilExpiry(1000), 100);
    EXPECT_EQ(decoder.millisecondsUntilExpiry(1060), 40);
    decoder.expire(1099);
    EXPECT_FALSE(decoder.hasKey());
    EXPECT_EQ(decoder.millisecondsUntilExpiry(1100), 0);
    EXPECT_EQ(decoder.millisecondsUntilExpiry(5000), 0);
    decoder.expire(1100);
    EXPECT_EQ(takeAll(decoder), std::vector<int>{27});
    EXPECT_EQ(decoder.millisecondsUntilExpiry(1100), -1);
}

TEST(KeyDecoderStream, EachByteRestartsTheTimeoutAndAnUnfinishedSequenceIsDropped) {
    KeyDecoder decoder;
    decoder.feed("\x1b", 0);
    decoder.feed("[1;", 80);
    EXPECT_EQ(decoder.millisecondsUntilExpiry(80), 100);
    decoder.expire(120);
    EXPECT_FALSE(decoder.hasKey());
    decoder.expire(180);
    EXPECT_FALSE(decoder.hasKey());
    EXPECT_EQ(decoder.millisecondsUntilExpiry(180), -1);
    decoder.feed("5A", 200);  // the late rest is typed text now
    EXPECT_EQ(takeAll(decoder), (std::vector<int>{53, 65}));
}

TEST(KeyDecoderStream, OnlyExpireEndsAnEscape) {
    KeyDecoder waitingRead;
    waitingRead.feed("\x1b", 0);
    waitingRead.feed("[A", 500);  // bytes that were already waiting complete the sequence
    EXPECT_EQ(takeAll(waitingRead), (std::vector<int>{224, 72}));

    KeyDecoder expired;
    expired.feed("\x1b", 0);
    expired.expire(100);
    expired.feed("[A", 500);
    EXPECT_EQ(takeAll(expired), (std::vector<int>{27, 91, 65}));

    KeyDecoder twice;
    twice.feed("\x1b\x1b", 0);
    twice.expire(100);
    EXPECT_EQ(takeAll(twice), (std::vector<int>{27, 27}));
}

TEST(KeyDecoderStream, PartialCharacterWaitsForItsRestWithoutTimeout) {
    KeyDecoder decoder;
    decoder.feed("\xc3", 0);
    EXPECT_EQ(decoder.millisecondsUntilExpiry(0), -1);
    decoder.expire(1000);
    decoder.feed("\xbc", 2000);
    EXPECT_EQ(takeAll(decoder), std::vector<int>{129});
}

TEST(KeyDecoderStream, EndOfInputFlushesEscapeAndDropsUnfinishedInput) {
    for (const char* pending : {"\x1b", "x\x1b"}) {
        KeyDecoder decoder;
        decoder.feed(pending, 0);
        decoder.endOfInput();
        EXPECT_EQ(takeAll(decoder).back(), 27);
    }
    for (const char* pending : {"\x1b[", "\x1b[1;5", "\x1bO", "\x1b[[", "\xe2\x82"}) {
        KeyDecoder decoder;
        decoder.feed(pending, 0);
        decoder.endOfInput();
        EXPECT_FALSE(decoder.hasKey()) << testing::PrintToString(std::string(pending));
        EXPECT_EQ(decoder.millisecondsUntilExpiry(0), -1);
    }
}

TEST(KeyDecoderStream, OverlongSequenceIsSkippedToItsEnd) {
    for (const std::string introducer : {"\x1b[", "\x1bO", "\x1b[?"}) {
        KeyDecoder decoder;
        decoder.feed(introducer + std::string(1'000'000, '1') + "A" + "x", 0);
        EXPECT_EQ(takeAll(decoder), std::vector<int>{120});
    }
    KeyDecoder expired;
    expired.feed("\x1b[" + std::string(1000, ';'), 0);
    EXPECT_EQ(expired.millisecondsUntilExpiry(0), 100);
    expired.expire(100);
    expired.feed("x", 110);
    EXPECT_EQ(takeAll(expired), std::vector<int>{120});
}

// Codes 0 and 224 never stand for themselves: each is an extended key's prefix.
void expectOnlyWholeKeys(const std::vector<int>& codes) {
    const std::set<int> functionScanCodes{59, 60, 61, 62, 63, 64, 65, 66, 67, 68};
    const std::set<int> cursorScanCodes{71, 72, 73, 75, 77, 79, 80, 81, 82, 83, 133, 134};
    for (std::size_t i = 0; i < codes.size(); ++i) {
        ASSERT_GE(codes[i], 0);
        ASSERT_LE(codes[i], 255);
        if (codes[i] != 0 && codes[i] != 224) continue;
        ASSERT_LT(i + 1, codes.size());
        const auto& scanCodes = codes[i] == 0 ? functionScanCodes : cursorScanCodes;
        ASSERT_TRUE(scanCodes.count(codes[i + 1])) << codes[i] << " " << codes[i + 1];
        ++i;
    }
}

TEST(KeyDecoderStream, HostileBytesGiveOnlyWholeKeys) {
    for (const bool fromTerminal : {false, true}) {
        std::mt19937 random(20240611);
        // Bytes that steer the decoder are drawn more often than chance would.
        const std::string steering = "\x1b[O;0123456789~$^@ABCDHFPQRSu\xc3\xe2\xf0\x80\xbf]\x07\\";
        KeyDecoder decoder({.fromTerminal = fromTerminal});
        long long now = 0;
        std::vector<int> codes;
        for (int chunk = 0; chunk < 20000; ++chunk) {
            std::string bytes(random() % 40, '\0');
            for (char& byte : bytes) {
                byte = random() % 2 ? steering[random() % steering.size()] : static_cast<char>(random());
            }
            now += random() % 80;
            decoder.feed(bytes, now);
            if (random() % 4 == 0) decoder.expire(now + random() % 200);
            while (decoder.hasKey()) codes.push_back(decoder.takeKey());
        }
        decoder.endOfInput();
        while (decoder.hasKey()) codes.push_back(decoder.takeKey());
        expectOnlyWholeKeys(codes);

        decoder.expire(now + 1000);
        decoder.feed("\x1b[B", now + 1000);
        EXPECT_EQ(takeAll(decoder), (std::vector<int>{224, 80}));
    }
}

// Timed reads from a terminal or a pipe: a step without bytes is a wake-up
// with nothing read, at which the platform calls expire().
struct Step {
    long long atMs;
    const char* bytes = nullptr;
};

struct TimedCase {
    const char* what;
    bool fromTerminal;
    std::vector<Step> steps;
    std::vector<int> codes;
};

TEST(KeyDecoderStream, TerminalInputOverTime) {
    const std::vector<TimedCase> cases{
        {"arrow split by a slow link", true, {{0, "\x1b"}, {55}, {60, "[A"}, {200}}, {224, 72}},
        {"lone Escape after the delay", true, {{0, "\x1b"}, {99}, {100}}, {27}},
        {"Escape and a key in two reads", true, {{0, "\x1b"}, {30, "x"}}, {27, 120}},
        {"Alt+key dropped with its key", true, {{0, "\x1bxa\x1b\xc3\xa4" "b"}}, {97, 98}},
        {"Alt+key from a pipe kept", false, {{0, "\x1bx"}}, {27, 120}},
        {"OSC reply, BEL", true, {{0, "\x1b]11;rgb:0000/0000/0000\x07" "a"}}, {97}},
        {"OSC reply, ESC backslash", true, {{0, "\x1b]10;rgb:ffff/ffff/ffff\x1b\\a"}}, {97}},
        {"DCS reply", true, {{0, "\x1bP1+r544e=787465726d\x1b\\b"}}, {98}},
        {"reply across reads", true, {{0, "\x1b]11;rgb:00"}, {5, "00/0000\x07"}, {6, "c"}}, {99}},
        {"reply cut short by an arrow", true, {{0, "\x1b]2;x\x1b[A"}}, {224, 72}},
        {"unfinished reply ends on silence", true, {{0, "\x1b]2;x"}, {100}, {150, "d"}}, {100}},
        {"OSC from a pipe is typed", false, {{0, "\x1b]x"}}, {27, 93, 120}},
        {"cursor report for row 1", true, {{0, "\x1b[1;5R\x1b[1;1R"}}, {}},
    };
    for (const TimedCase& c : cases) {
        SCOPED_TRACE(c.what);
        KeyDecoder decoder({.fromTerminal = c.fromTerminal});
        for (const Step& step : c.steps) {
            if (step.bytes != nullptr) decoder.feed(step.bytes, step.atMs);
            decoder.expire(step.atMs);
        }
        EXPECT_EQ(takeAll(decoder), c.codes);
    }
}

TEST(KeyDecoderStream, EscapeDelayFromTheEnvironment) {
    const std::vector<std::pair<const char*, int>> values{
        {nullptr, 100}, {"", 100}, {"25", 25}, {"0", 0}, {"abc", 100}, {"-5", 100}, {"12x", 100}, {"99999999999", 10000}};
    for (const auto& [value, delay] : values) EXPECT_EQ(KeyDecoder::escapeDelayFrom(value), delay) << (value ? value : "unset");
    KeyDecoder quick({.escapeDelayMs = 25});
    quick.feed("\x1b", 0);
    quick.expire(25);
    EXPECT_EQ(takeAll(quick), std::vector<int>{27});
}

}  // namespace
