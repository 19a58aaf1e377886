#pragma once
#include <functional>
#include <string>

#include "support/AppFixture.h"
#include "support/ScreenSnapshot.h"

// Keys as an operator types them: each entry arrives well after the one
// before, longer than a 2500 ms message, so a form has finished its step when
// it comes. `duringMessage` types a key 100 ms after the previous entry,
// while a message that entry caused is still shown.
class Operator {
public:
    static constexpr long long GAP_MS = 10000;

    void field(const std::string& text) {
        at += GAP_MS;
        for (unsigned char character : text) scripted::typeKeyAt(at, character);
        scripted::typeKeyAt(at, '\r');
    }
    void key(int code) {
        at += GAP_MS;
        scripted::typeKeyAt(at, code);
    }
    void extendedKey(int prefix, int scanCode) {
        at += GAP_MS;
        scripted::typeKeyAt(at, prefix);
        scripted::typeKeyAt(at, scanCode);
    }
    void f1() { extendedKey(0, 59); }
    void f2() { extendedKey(0, 60); }
    void escape() { key(27); }
    void duringMessage(int code) {
        at += 100;
        scripted::typeKeyAt(at, code);
    }

private:
    long long at = 0;
};

class DialogTest : public AppFixture {
protected:
    // Runs `inspect` at every pause of `milliseconds` (the messages).
    void duringEachMessage(std::function<void(int messageNumber)> inspect) {
        scripted::state().onSleep = [inspect, count = 0](int milliseconds) mutable {
            if (milliseconds == 2500) inspect(++count);
        };
    }
    std::string screen() const { return snapshot::render(*app); }
    // The dialog returned on a key of the script, not on its end.
    bool scriptUsedUp() const {
        return scripted::state().keys.empty() && scripted::state().keysReadAfterScriptEnd == 0;
    }

    Operator typist;
};
