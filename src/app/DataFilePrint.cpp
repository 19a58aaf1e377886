#include "app/DataFilePrint.h"

#include <filesystem>
#include <iostream>

#include "console/ConsoleScreen.h"
#include "console/Platform.h"

namespace {
constexpr int MESSAGE_ROW = 20;
constexpr int MESSAGE_COLUMN = 30;
constexpr int MESSAGE_MILLISECONDS = 2500;
constexpr int LIGHT_RED = 12;
constexpr int BLACK = 0;
}  // namespace

void printDataFile(ConsoleScreen& screen, const std::string& fileName) {
    std::error_code error;
    if (!std::filesystem::exists(fileName, error)) return;
    // The reason is the printing system's own text, in its own encoding; the
    // operator is told only that nothing was printed.
    std::string failureReason;
    if (platform::printFile(fileName, failureReason)) return;
    screen.setColor(LIGHT_RED, BLACK);
    screen.setCursor(MESSAGE_ROW, MESSAGE_COLUMN);
    std::cout << "DRUCKEN FEHLGESCHLAGEN!";
    screen.pause(MESSAGE_MILLISECONDS);
}
