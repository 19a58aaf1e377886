#pragma once
#include <cstdint>
#include <random>
#include <string>
#include <vector>

// Random key streams as the console runtime would deliver them: menu digits,
// words, titles of the working files, answers, F1/F2 and other extended keys
// (0 or 224, then a scan code), control codes, bytes above 127, pastes with
// commas and quotes. Weighted towards keys that lead somewhere, so that the
// streams reach the saving steps of every dialog.
namespace robustness {

// A key and the moment (virtual milliseconds) from which it can be read: the
// forms and dialogs act on a step only when no key is waiting, so pauses
// decide which paths a stream takes just as much as the keys do.
struct TimedKey {
    int code;
    long long availableAtMs;
};

class KeyStreamGenerator {
public:
    KeyStreamGenerator(std::uint64_t seed, std::vector<std::string> knownTitles);
    std::vector<TimedKey> nextStream();

private:
    void addPiece(std::vector<int>& keys);
    void addText(std::vector<int>& keys, const std::string& text);
    std::string randomWord(int maxLength);
    int below(int bound);

    std::mt19937_64 random;
    std::vector<std::string> titles;
};

// A stream written so that it can be read in a failure message:
// "1" +800ms Enter ext0:59 ...
std::string describeKeys(const std::vector<TimedKey>& keys);

}  // namespace robustness
