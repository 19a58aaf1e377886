#include "KeyStreams.h"

#include <array>
#include <utility>

namespace robustness {

namespace {

constexpr int ENTER = 13;
constexpr int ESCAPE = 27;
constexpr int BACKSPACE = 8;
constexpr int CTRL_A = 1;
constexpr int F1_SCAN = 59;
constexpr int F2_SCAN = 60;
constexpr int PAUSE = -1;  // within a piece: the program gets time to act here

enum class Piece {
    MenuDigit, KnownTitle, TitleThenAnswer, Answer, SaveKey, DiscardKey, Word, Enter, Escape, Redraw, SearchAgain,
    Erase, ExtendedKey, HighByte, ControlByte, Paste, RunningTime, Overflow
};

struct Weighted {
    Piece piece;
    int weight;
};

constexpr std::array<Weighted, 18> PIECES = {{
    {Piece::MenuDigit, 20}, {Piece::KnownTitle, 10}, {Piece::TitleThenAnswer, 6}, {Piece::Answer, 8}, {Piece::SaveKey, 8},
    {Piece::DiscardKey, 3}, {Piece::Word, 6}, {Piece::Enter, 5}, {Piece::Escape, 4},
    {Piece::Redraw, 3}, {Piece::SearchAgain, 3}, {Piece::Erase, 3}, {Piece::ExtendedKey, 4},
    {Piece::HighByte, 3}, {Piece::ControlByte, 2}, {Piece::Paste, 4}, {Piece::RunningTime, 3},
    {Piece::Overflow, 1},
}};

constexpr int totalWeight() {
    int total = 0;
    for (const Weighted& entry : PIECES) total += entry.weight;
    return total;
}

const std::array<const char*, 10> RUNNING_TIMES = {"90", "0", "-1", "-0", " 12", "+5", "2147483648", "abc", "", "999"};
constexpr std::string_view PASTE_CHARACTERS = "abcXYZ ,,\"\"'; 09\x84\x94\x81";
constexpr std::string_view WORD_CHARACTERS = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 ";

}  // namespace

KeyStreamGenerator::KeyStreamGenerator(std::uint64_t seed, std::vector<std::string> knownTitles)
    : random(seed), titles(std::move(knownTitles)) {}

int KeyStreamGenerator::below(int bound) {
    return static_cast<int>(std::uniform_int_distribution<int>(0, bound - 1)(random));
}

void KeyStreamGenerator::addText(std::vector<int>& keys, const std::string& text) {
    for (unsigned char byte : text) keys.push_back(byte);
}

std::string KeyStreamGenerator::randomWord(int maxLength) {
    std::string word;
    const int length = 1 + below(maxLength);
    for (int i = 0; i < length; ++i) word += WORD_CHARACTERS[static_cast<std::size_t>(below(static_cast<int>(WORD_CHARACTERS.size())))];
    return word;
}

void KeyStreamGenerator::addPiece(std::vector<int>& keys) {
    int pick = below(totalWeight());
    Piece piece = PIECES.back().piece;
    for (const Weighted& entry : PIECES) {
        if (pick < entry.weight) {
            piece = entry.piece;
            break;
        }
        pick -= entry.weight;
    }
    switch (piece) {
    case Piece::MenuDigit:
        // The two main entries most often, so that streams get into the dialogs.
        keys.push_back(below(3) == 0 ? '1' + below(6) : '1' + below(2));
        break;
    case Piece::KnownTitle:
        addText(keys, titles[static_cast<std::size_t>(below(static_cast<int>(titles.size())))]);
        if (below(8) != 0) keys.push_back(ENTER);
        break;
    case Piece::TitleThenAnswer:
        // What the delete and return dialogs need to get to their saving
        // step; half the time from the main menu into one of them.
        if (below(2) == 0) {
            addText(keys, below(2) == 0 ? "12" : "22");
            keys.push_back(PAUSE);
        }
        addText(keys, titles[static_cast<std::size_t>(below(static_cast<int>(titles.size())))]);
        keys.push_back(ENTER);
        keys.push_back(PAUSE);
        addText(keys, below(4) == 0 ? "n" : below(2) == 0 ? "j" : "J");
        keys.push_back(ENTER);
        break;
    case Piece::Answer: {
        static const std::array<const char*, 5> answers = {"j", "J", "n", "jj", "ja"};
        addText(keys, answers[static_cast<std::size_t>(below(5))]);
        keys.push_back(ENTER);
        break;
    }
    case Piece::SaveKey:
        if (below(5) == 0) {
            keys.push_back(';');  // the second code of F1 on its own
        } else {
            keys.push_back(below(2) == 0 ? 0 : 224);
            keys.push_back(F1_SCAN);
        }
        break;
    case Piece::DiscardKey:
        keys.push_back(below(2) == 0 ? 0 : 224);
        keys.push_back(F2_SCAN);
        break;
    case Piece::Word:
        addText(keys, randomWord(12));
        if (below(2) == 0) keys.push_back(ENTER);
        break;
    case Piece::Enter: keys.push_back(ENTER); break;
    case Piece::Escape: keys.push_back(ESCAPE); break;
    case Piece::Redraw: keys.push_back('@'); break;
    case Piece::SearchAgain: keys.push_back(CTRL_A); break;
    case Piece::Erase: keys.push_back(below(3) == 0 ? 127 : BACKSPACE); break;
    case Piece::ExtendedKey: {
        // F1-F10, the cursor block, F11/F12, or any code at all.
        static const std::array<int, 4> firstScan = {59, 71, 133, 0};
        static const std::array<int, 4> scanCount = {10, 13, 2, 256};
        const std::size_t group = static_cast<std::size_t>(below(4));
        keys.push_back(below(2) == 0 ? 0 : 224);
        keys.push_back(firstScan[group] + below(scanCount[group]));
        break;
    }
    case Piece::HighByte: keys.push_back(128 + below(128)); break;
    case Piece::ControlByte: keys.push_back(below(32)); break;
    case Piece::Paste: {
        std::string text;
        const int length = 1 + below(60);
        for (int i = 0; i < length; ++i)
            text += PASTE_CHARACTERS[static_cast<std::size_t>(below(static_cast<int>(PASTE_CHARACTERS.size())))];
        addText(keys, text);
        if (below(2) == 0) keys.push_back(ENTER);
        break;
    }
    case Piece::RunningTime:
        addText(keys, RUNNING_TIMES[static_cast<std::size_t>(below(static_cast<int>(RUNNING_TIMES.size())))]);
        keys.push_back(ENTER);
        break;
    case Piece::Overflow:
        addText(keys, randomWord(10) + std::string(static_cast<std::size_t>(30 + below(40)), 'W'));
        keys.push_back(ENTER);
        break;
    }
}

std::vector<TimedKey> KeyStreamGenerator::nextStream() {
    std::vector<TimedKey> stream;
    long long now = 0;
    auto addTimed = [&](const std::vector<int>& keys, bool pasted) {
        for (std::size_t i = 0; i < keys.size(); ++i) {
            if (keys[i] == PAUSE) {
                now += 1 + below(600);
                continue;
            }
            // A paste arrives at once; typing has small gaps (an extended
            // key's two codes always arrive together).
            const bool secondCode = i > 0 && (keys[i - 1] == 0 || keys[i - 1] == 224);
            if (i > 0 && !pasted && !secondCode && below(2) == 0) now += 1 + below(150);
            stream.push_back({keys[i], now});
        }
    };
    std::vector<int> keys;
    if (below(5) != 0) keys.push_back('1' + below(2));
    addTimed(keys, false);
    // Mostly short streams, now and then a long one that goes deep.
    const int pieces = below(4) == 0 ? 40 + below(160) : 1 + below(40);
    for (int i = 0; i < pieces; ++i) {
        // Typed ahead, or after the program has had time to act (and
        // sometimes after a message of 2500 ms has run out).
        const int gap = below(10);
        if (gap >= 3) now += gap < 9 ? 1 + below(400) : 2000 + below(1500);
        keys.clear();
        addPiece(keys);
        addTimed(keys, below(4) == 0);
    }
    return stream;
}

std::string describeKeys(const std::vector<TimedKey>& keys) {
    std::string text;
    std::string run;
    long long shownTime = 0;
    auto flush = [&] {
        if (run.empty()) return;
        text += (text.empty() ? "\"" : " \"") + run + "\"";
        run.clear();
    };
    for (std::size_t i = 0; i < keys.size(); ++i) {
        if (keys[i].availableAtMs != shownTime) {
            flush();
            text += (text.empty() ? "+" : " +") + std::to_string(keys[i].availableAtMs - shownTime) + "ms";
            shownTime = keys[i].availableAtMs;
        }
        const int key = keys[i].code;
        if (key >= 32 && key < 127 && key != '"' && key != '\\') {
            run += static_cast<char>(key);
            continue;
        }
        flush();
        std::string name;
        if (key == ENTER) name = "Enter";
        else if (key == ESCAPE) name = "Esc";
        else if (key == BACKSPACE) name = "Bksp";
        else if ((key == 0 || key == 224) && i + 1 < keys.size())
            name = "ext" + std::to_string(key) + ":" + std::to_string(keys[++i].code);
        else name = std::to_string(key);
        text += (text.empty() ? "" : " ") + name;
    }
    flush();
    return text;
}

}  // namespace robustness
