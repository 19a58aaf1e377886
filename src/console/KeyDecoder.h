#pragma once
#include <array>
#include <cstddef>
#include <deque>
#include <string>
#include <string_view>

// Turns the bytes a terminal sends for key presses into the key codes of the
// Windows console runtime (console/Keys.h), which the rest of the system is
// written against: ordinary keys as their code page 850 byte, extended keys
// as two codes (a prefix, then the second code).
//
// Pure: bytes and the time they were read go in, codes come out, so it is
// tested without a terminal. Understands the key sequences of xterm, VTE,
// the Linux console, rxvt, tmux and screen, and typed UTF-8.
//
// Time matters only for a pending Escape: feed() never completes anything on
// time alone (bytes that were already waiting when read still belong to the
// sequence they continue); only expire() does, once no byte has arrived for
// the escape delay.
//
// Bytes from a terminal are read more strictly than bytes from a pipe or a
// file, which are kept as they are: an Escape with a printable key in the
// same read is Alt+key and dropped with the key, and the strings a terminal
// sends as replies (OSC, DCS, APC, PM, SOS) are consumed whole.
class KeyDecoder {
public:
    // Long enough for the bytes of one key to cross a slow network link.
    static constexpr int DEFAULT_ESCAPE_DELAY_MS = 100;
    static constexpr int MAXIMUM_ESCAPE_DELAY_MS = 10000;

    struct Options {
        bool fromTerminal = false;
        int escapeDelayMs = DEFAULT_ESCAPE_DELAY_MS;
    };

    KeyDecoder() = default;
    explicit KeyDecoder(Options options);
    // The escape delay an ESCDELAY value (milliseconds, as terminal libraries
    // read it) asks for; the default for a missing or unreadable value.
    static int escapeDelayFrom(const char* environmentValue);

    // Bytes read from the terminal at time nowMs (monotonic milliseconds).
    void feed(std::string_view bytes, long long nowMs);
    // No further byte arrived: completes what is pending once the escape delay passed since the
    // last byte (a lone ESC becomes Escape; an unfinished sequence is dropped).
    void expire(long long nowMs);
    // Milliseconds until expire() has something to complete, or -1 when nothing is pending.
    int millisecondsUntilExpiry(long long nowMs) const;
    // Standard input ended: flush what is pending (a pending ESC becomes Escape).
    void endOfInput();
    bool hasKey() const;
    int takeKey();  // codes 0..255 in arrival order; precondition hasKey()
    // A terminal whose set has one byte per character: the character each typed
    // byte from 0x80 up stands for (0: none). The table must outlive the decoder;
    // nullptr goes back to UTF-8.
    void useSingleByteCharacters(const std::array<char32_t, 256>* characters) { singleByteCharacters_ = characters; }

private:
    enum class State {
        Ground,
        Utf8,              // inside a multi-byte UTF-8 character
        Escape,            // ESC read, the next byte decides
        Csi,               // ESC [ and its parameter bytes
        LinuxFunctionKey,  // ESC [ [ of the Linux console's F1 to F5
        Ss3,               // ESC O and its parameter bytes
        DiscardSequence,   // a sequence grew too long: skip to its end
        TerminalString,    // a terminal's reply string, up to BEL or ESC backslash
        TerminalStringEscape,
    };
    // Far longer than any key sequence; hostile input cannot make it grow.
    static constexpr std::size_t MAX_SEQUENCE_LENGTH = 32;

    void decode(unsigned char byte);
    bool continueSequence(unsigned char byte);
    void decodeGround(unsigned char byte);
    bool continueUtf8(unsigned char byte);
    bool continueEscape(unsigned char byte);
    bool continueCsi(unsigned char byte);
    bool continueLinuxFunctionKey(unsigned char byte);
    bool continueSs3(unsigned char byte);
    bool continueDiscard(unsigned char byte);
    bool continueTerminalString(unsigned char byte);
    bool continueTerminalStringEscape(unsigned char byte);
    bool collectParameter(unsigned char byte);
    void finishCsi(unsigned char finalByte);
    void finishSs3(unsigned char finalByte);
    bool awaitsTimeout() const;
    void completePending();
    void startUtf8(int continuationBytes, char32_t leadBits, unsigned char low, unsigned char high);
    void emitTypedCharacter(char32_t codePoint);
    void emitExtended(int prefix, int scanCode);
    void emit(int code);

    Options options_;
    State state_ = State::Ground;
    long long readNumber_ = 0;    // counts feed() calls
    long long escapeRead_ = -1;   // the read the pending Escape came in
    bool dropNextCharacter_ = false;  // the key of an Alt+key
    bool utf8Dropped_ = false;
    std::string sequence_;  // parameter bytes of the pending CSI or SS3 sequence
    char32_t utf8CodePoint_ = 0;
    int utf8Remaining_ = 0;
    unsigned char utf8Low_ = 0x80;  // range the next continuation byte must lie in
    unsigned char utf8High_ = 0xBF;
    long long lastByteMs_ = 0;
    std::deque<unsigned char> keys_;
    const std::array<char32_t, 256>* singleByteCharacters_ = nullptr;
};
