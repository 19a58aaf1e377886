#pragma once
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "../CampaignSettings.h"
#include "../DataFileLines.h"
#include "EndToEndSupport.h"
#include "PtySession.h"

// Drives the real program through its menus in a pseudo-terminal, waiting
// for each screen before the next key, as an operator would.
namespace robustness {

inline constexpr std::string_view F1 = "\x1bOP";
inline constexpr std::string_view ESCAPE = "\x1b";

std::unique_ptr<PtySession> startProgram(const end_to_end::ScratchDirectory& directory);
bool awaitMainScreen(PtySession& session);
// Key 1 or 2 in the main menu; true when the sub-menu waits for a choice.
bool openLibraryMenu(PtySession& session);
bool openRentalMenu(PtySession& session);
// Escape, and the screen one level up drawn again.
bool escapeToSubMenu(PtySession& session, std::string_view heading);
bool escapeToMainScreen(PtySession& session);

// In the delete (library) or return (rental) dialog: the title typed, the
// question asked, the cursor in the [j/n] field.
bool openDeleteAndAsk(PtySession& session, const std::string& title);
bool openReturnAndAsk(PtySession& session, const std::string& title);
// In the new-DVD form (library menu) or the lend form (rental menu): the
// fields typed, the form waiting for F1 or F2.
bool fillNewDvdForm(PtySession& session, const Record& record);
bool fillLendForm(PtySession& session, const Record& record);

bool messageShown(PtySession& session, int row, int column, std::string_view text);
// Escape until the program ends; true with exit status 0.
bool leaveWithStatusZero(PtySession& session);

// Files in the directory other than the two data files.
std::vector<std::string> strayFiles(const end_to_end::ScratchDirectory& directory);

// The emulator's rows, for failure messages.
std::string screenDump(PtySession& session);

}  // namespace robustness
