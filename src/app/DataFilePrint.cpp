#include "app/DataFilePrint.h"

#include <filesystem>

#include "app/DialogSupport.h"
#include "console/Platform.h"

void printDataFile(ConsoleScreen& screen, const std::string& fileName) {
    std::error_code error;
    if (!std::filesystem::exists(fileName, error)) return;
    // The reason is the printing system's own text, in its own encoding; the
    // operator is told only that nothing was printed.
    std::string failureReason;
    if (platform::printFile(fileName, failureReason)) return;
    dialog::showMessage(screen, 20, 30, "DRUCKEN FEHLGESCHLAGEN!");
}
