// One state machine over every byte a terminal sends: its escape sequences,
// typed UTF-8 and the Escape timing are one piece of logic, kept together in
// one file rather than split across states that share every field.
#include "console/KeyDecoder.h"

#include <algorithm>
#include <array>
#include <optional>
#include <utility>

#include "console/Keys.h"

namespace {

constexpr unsigned char ESC = 0x1B;
constexpr long MODIFY_OTHER_KEYS = 27;  // first parameter of xterm's "CSI 27 ; modifiers ; character ~"

struct ExtendedKey {
    int prefix;
    int scanCode;
};

ExtendedKey cursorBlock(int scanCode) { return {keys::CURSOR_BLOCK_PREFIX, scanCode}; }

ExtendedKey functionKey(int number) { return {keys::functionKeyPrefix(number), keys::functionKey(number)}; }

// The numbered keys of the "CSI number ~" form (VT220, Linux console, rxvt).
std::optional<ExtendedKey> numberedKey(long number) {
    switch (number) {
    case 1:
    case 7: return cursorBlock(keys::HOME);
    case 2: return cursorBlock(keys::INSERT);
    case 3: return cursorBlock(keys::DEL);
    case 4:
    case 8: return cursorBlock(keys::END);
    case 5: return cursorBlock(keys::PAGE_UP);
    case 6: return cursorBlock(keys::PAGE_DOWN);
    case 23: return functionKey(11);
    case 24: return functionKey(12);
    default: break;
    }
    if (number >= 11 && number <= 15) return functionKey(static_cast<int>(number) - 10);
    if (number >= 17 && number <= 21) return functionKey(static_cast<int>(number) - 11);
    return std::nullopt;
}

// Keys whose CSI or SS3 sequence ends in a letter. Lower-case a..d are rxvt's
// arrows with Shift (CSI) or Ctrl (SS3).
std::optional<ExtendedKey> letterKey(unsigned char finalByte) {
    switch (finalByte) {
    case 'A':
    case 'a': return cursorBlock(keys::UP);
    case 'B':
    case 'b': return cursorBlock(keys::DOWN);
    case 'C':
    case 'c': return cursorBlock(keys::RIGHT);
    case 'D':
    case 'd': return cursorBlock(keys::LEFT);
    case 'H': return cursorBlock(keys::HOME);
    case 'F': return cursorBlock(keys::END);
    case 'P':
    case 'Q':
    case 'R':
    case 'S': return functionKey(finalByte - 'P' + 1);
    default: return std::nullopt;
    }
}

// The numeric keypad in application mode sends SS3 and a letter.
std::optional<char> keypadCharacter(unsigned char finalByte) {
    static constexpr std::string_view fromJ = "*+,-./0123456789";
    if (finalByte == 'X') return '=';
    if (finalByte == 'M') return '\r';
    if (finalByte >= 'j' && finalByte < 'j' + fromJ.size()) return fromJ[finalByte - 'j'];
    return std::nullopt;
}

struct Parameters {
    int count = 0;
    std::array<long, 3> values{};  // the first three; 0 where omitted
    bool plain = true;             // only digits and ';'
};

Parameters parseParameters(std::string_view text) {
    // Larger than any code point, small enough never to overflow.
    constexpr long SATURATED = 0x110000;
    Parameters parameters;
    if (text.empty()) return parameters;
    parameters.count = 1;
    for (char c : text) {
        if (c == ';') {
            ++parameters.count;
        } else if (c >= '0' && c <= '9') {
            const auto index = static_cast<std::size_t>(parameters.count - 1);
            if (index < parameters.values.size()) {
                long& value = parameters.values[index];
                value = std::min(SATURATED, value * 10 + (c - '0'));
            }
        } else {
            parameters.plain = false;
        }
    }
    return parameters;
}

bool isFinalByte(unsigned char byte) { return byte >= 0x40 && byte <= 0x7E; }
bool isParameterOrIntermediateByte(unsigned char byte) { return byte >= 0x20 && byte <= 0x3F; }
bool isDigit(unsigned char byte) { return byte >= '0' && byte <= '9'; }

// rxvt ends Shift+key as "CSI number $"; elsewhere '$' is an intermediate byte.
bool endsRxvtShiftedKey(std::string_view sequence, unsigned char byte) {
    return byte == '$' && !sequence.empty() &&
           std::all_of(sequence.begin(), sequence.end(), [](char c) { return isDigit(c); });
}

}  // namespace

KeyDecoder::KeyDecoder(Options options) : options_(options) {
    options_.escapeDelayMs = std::clamp(options_.escapeDelayMs, 0, MAXIMUM_ESCAPE_DELAY_MS);
}

int KeyDecoder::escapeDelayFrom(const char* environmentValue) {
    if (environmentValue == nullptr || *environmentValue == '\0') return DEFAULT_ESCAPE_DELAY_MS;
    long milliseconds = 0;
    for (const char* c = environmentValue; *c != '\0'; ++c) {
        if (!isDigit(static_cast<unsigned char>(*c))) return DEFAULT_ESCAPE_DELAY_MS;
        milliseconds = std::min<long>(MAXIMUM_ESCAPE_DELAY_MS, milliseconds * 10 + (*c - '0'));
    }
    return static_cast<int>(milliseconds);
}

void KeyDecoder::feed(std::string_view bytes, long long nowMs) {
    if (bytes.empty()) return;
    ++readNumber_;
    lastByteMs_ = nowMs;
    for (char byte : bytes) decode(static_cast<unsigned char>(byte));
}

void KeyDecoder::expire(long long nowMs) {
    if (awaitsTimeout() && nowMs - lastByteMs_ >= options_.escapeDelayMs) completePending();
}

int KeyDecoder::millisecondsUntilExpiry(long long nowMs) const {
    if (!awaitsTimeout()) return -1;
    const long long elapsed = nowMs - lastByteMs_;
    return static_cast<int>(std::clamp<long long>(options_.escapeDelayMs - elapsed, 0, options_.escapeDelayMs));
}

void KeyDecoder::endOfInput() { completePending(); }

bool KeyDecoder::hasKey() const { return !keys_.empty(); }

int KeyDecoder::takeKey() {
    if (keys_.empty()) return -1;  // broken precondition; never a code a caller could act on
    const int key = keys_.front();
    keys_.pop_front();
    return key;
}

// A byte that cuts a sequence short is read again from the ground state, which
// consumes every byte: no byte is looked at more than twice, so decoding stays linear.
void KeyDecoder::decode(unsigned char byte) {
    if (!continueSequence(byte)) decodeGround(byte);
}

bool KeyDecoder::continueSequence(unsigned char byte) {
    switch (state_) {
    case State::Ground: return false;
    case State::Utf8: return continueUtf8(byte);
    case State::Escape: return continueEscape(byte);
    case State::Csi: return continueCsi(byte);
    case State::LinuxFunctionKey: return continueLinuxFunctionKey(byte);
    case State::Ss3: return continueSs3(byte);
    case State::DiscardSequence: return continueDiscard(byte);
    case State::TerminalString: return continueTerminalString(byte);
    case State::TerminalStringEscape: return continueTerminalStringEscape(byte);
    }
    return false;
}

void KeyDecoder::decodeGround(unsigned char byte) {
    const bool dropped = std::exchange(dropNextCharacter_, false);
    utf8Dropped_ = dropped;
    if (byte == ESC) {
        state_ = State::Escape;
        escapeRead_ = readNumber_;
    } else if (byte < 0x80) {
        if (!dropped) emitTypedCharacter(byte);
    } else if (singleByteCharacters_ != nullptr) {
        const char32_t character = (*singleByteCharacters_)[byte];
        if (character != 0 && !dropped) emitTypedCharacter(character);
    } else if (byte >= 0xC2 && byte <= 0xDF) {
        startUtf8(1, byte & 0x1F, 0x80, 0xBF);
    } else if (byte >= 0xE0 && byte <= 0xEF) {
        // The narrowed ranges exclude overlong forms and UTF-16 surrogates.
        startUtf8(2, byte & 0x0F, byte == 0xE0 ? 0xA0 : 0x80, byte == 0xED ? 0x9F : 0xBF);
    } else if (byte >= 0xF0 && byte <= 0xF4) {
        startUtf8(3, byte & 0x07, byte == 0xF0 ? 0x90 : 0x80, byte == 0xF4 ? 0x8F : 0xBF);
    }
    // Any other byte cannot start UTF-8 (a stray continuation, C0, C1, F5..FF): dropped.
}

void KeyDecoder::startUtf8(int continuationBytes, char32_t leadBits, unsigned char low, unsigned char high) {
    state_ = State::Utf8;
    utf8Remaining_ = continuationBytes;
    utf8CodePoint_ = leadBits;
    utf8Low_ = low;
    utf8High_ = high;
}

bool KeyDecoder::continueUtf8(unsigned char byte) {
    if (byte < utf8Low_ || byte > utf8High_) {
        state_ = State::Ground;  // invalid: the character so far is dropped
        return false;
    }
    utf8CodePoint_ = (utf8CodePoint_ << 6) | (byte & 0x3F);
    utf8Low_ = 0x80;
    utf8High_ = 0xBF;
    if (--utf8Remaining_ == 0) {
        state_ = State::Ground;
        if (!utf8Dropped_) emitTypedCharacter(utf8CodePoint_);
    }
    return true;
}

bool KeyDecoder::continueEscape(unsigned char byte) {
    if (byte == '[' || byte == 'O') {
        state_ = byte == '[' ? State::Csi : State::Ss3;
        sequence_.clear();
        return true;
    }
    if (options_.fromTerminal) {
        // Replies to queries someone else sent: never keys.
        if (byte == ']' || byte == 'P' || byte == '_' || byte == '^' || byte == 'X') {
            state_ = State::TerminalString;
            return true;
        }
        // Alt+key (Alt+Enter too): the program has no use for it, and reading
        // it as Escape would leave the dialog the key was typed in.
        if (escapeRead_ == readNumber_ && byte != ESC) {
            state_ = State::Ground;
            dropNextCharacter_ = true;
            return false;
        }
    }
    // Escape, then the key itself.
    emit(keys::ESCAPE);
    state_ = State::Ground;
    return false;
}

bool KeyDecoder::continueCsi(unsigned char byte) {
    if (sequence_.empty() && byte == '[') {
        state_ = State::LinuxFunctionKey;
        return true;
    }
    if (isFinalByte(byte) || endsRxvtShiftedKey(sequence_, byte)) {
        state_ = State::Ground;
        finishCsi(byte);
        sequence_.clear();
        return true;
    }
    if (isParameterOrIntermediateByte(byte)) return collectParameter(byte);
    state_ = State::Ground;  // cut short by a control or non-ASCII byte: dropped
    return false;
}

bool KeyDecoder::continueLinuxFunctionKey(unsigned char byte) {
    state_ = State::Ground;
    if (byte >= 'A' && byte <= 'E') {
        const ExtendedKey key = functionKey(1 + (byte - 'A'));
        emitExtended(key.prefix, key.scanCode);
        return true;
    }
    return isFinalByte(byte);  // an unknown final ends the sequence; anything else is read anew
}

bool KeyDecoder::continueSs3(unsigned char byte) {
    if (isDigit(byte) || byte == ';') return collectParameter(byte);  // old modifier forms
    state_ = State::Ground;
    if (!isFinalByte(byte)) return false;
    finishSs3(byte);
    sequence_.clear();
    return true;
}

bool KeyDecoder::continueDiscard(unsigned char byte) {
    if (isParameterOrIntermediateByte(byte)) return true;
    state_ = State::Ground;
    return isFinalByte(byte);
}

bool KeyDecoder::continueTerminalString(unsigned char byte) {
    constexpr unsigned char BEL = 0x07, CAN = 0x18, SUB = 0x1A;
    if (byte == ESC) state_ = State::TerminalStringEscape;
    if (byte == BEL || byte == CAN || byte == SUB) state_ = State::Ground;
    return true;
}

bool KeyDecoder::continueTerminalStringEscape(unsigned char byte) {
    if (byte == '\\') {
        state_ = State::Ground;
        return true;
    }
    // Not a string terminator: the Escape starts something new.
    state_ = State::Escape;
    escapeRead_ = readNumber_;
    return continueEscape(byte);
}

bool KeyDecoder::collectParameter(unsigned char byte) {
    if (sequence_.size() >= MAX_SEQUENCE_LENGTH) {
        state_ = State::DiscardSequence;
        sequence_.clear();
    } else {
        sequence_.push_back(static_cast<char>(byte));
    }
    return true;
}

void KeyDecoder::finishCsi(unsigned char finalByte) {
    const Parameters parameters = parseParameters(sequence_);
    // Private markers and intermediates belong to terminal replies, not to keys.
    if (!parameters.plain) return;
    const long first = parameters.values[0];
    switch (finalByte) {
    case '~':
        if (first == MODIFY_OTHER_KEYS && parameters.count >= 3) {
            emitTypedCharacter(static_cast<char32_t>(parameters.values[2]));
            return;
        }
        [[fallthrough]];
    case '^':  // rxvt: Ctrl
    case '@':  // rxvt: Ctrl+Shift
    case '$':  // rxvt: Shift
        if (const auto key = numberedKey(first)) emitExtended(key->prefix, key->scanCode);
        return;
    case 'u':  // CSI character ; modifiers u
        if (parameters.count >= 1) emitTypedCharacter(static_cast<char32_t>(first));
        return;
    case 'Z':  // Shift+Tab, taken as Tab
        emit(keys::TAB);
        return;
    case 'R':
        // A cursor position report (row ; column R); for row 1 it cannot be
        // told from a modified F3, which the program has no use for.
        if (parameters.count >= 2) return;
        break;
    default: break;
    }
    if (const auto key = letterKey(finalByte)) emitExtended(key->prefix, key->scanCode);
}

void KeyDecoder::finishSs3(unsigned char finalByte) {
    if (const auto key = letterKey(finalByte)) {
        emitExtended(key->prefix, key->scanCode);
    } else if (const auto typed = keypadCharacter(finalByte)) {
        emitTypedCharacter(static_cast<unsigned char>(*typed));
    }
}

bool KeyDecoder::awaitsTimeout() const { return state_ != State::Ground && state_ != State::Utf8; }

void KeyDecoder::completePending() {
    // Only a lone Escape is a key; the bytes of an unfinished sequence never are.
    if (state_ == State::Escape) emit(keys::ESCAPE);
    state_ = State::Ground;
    sequence_.clear();
}

void KeyDecoder::emitTypedCharacter(char32_t codePoint) {
    for (const char code : keys::codesForTypedCharacter(codePoint)) emit(static_cast<unsigned char>(code));
}

void KeyDecoder::emitExtended(int prefix, int scanCode) {
    emit(prefix);
    emit(scanCode);
}

void KeyDecoder::emit(int code) { keys_.push_back(static_cast<unsigned char>(code)); }
