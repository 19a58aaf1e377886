#include <gtest/gtest.h>

#include <sstream>

#include "app/CommandLine.h"
#include "support/Tables.h"

namespace {

using command_line::Action;

std::string describe(const command_line::Request& request) {
    std::string text;
    switch (request.action) {
    case Action::Refuse: return "refused: " + request.refusal;
    case Action::RunScreens: text = "screens"; break;
    case Action::ShowHelp: text = "help"; break;
    case Action::ShowVersion: text = "version"; break;
    case Action::WriteList:
        text = request.list == command_line::ListKind::Library   ? "liste bibliothek"
               : request.list == command_line::ListKind::Rentals ? "liste verleih"
                                                                 : "liste journal";
        break;
    case Action::WriteStatistics: text = "statistik"; break;
    case Action::Import:
        text = "import " + request.import.file + (request.import.dryRun ? " probelauf" : "") +
               (request.import.keepDuplicates ? " doppelte" : "") +
               (request.import.encodingName.empty() ? "" : " " + request.import.encodingName);
        break;
    }
    if (request.lendingDays != lending_dates::DEFAULT_LENDING_DAYS) text += " leihfrist " + std::to_string(request.lendingDays);
    for (const std::string& directory : request.directories) text += " -C " + directory;
    return text;
}

}  // namespace

// tables/command-line.txt through parse(), with the C library's getopt_long
// of each platform.
TEST(CommandLine, Table) {
    TextCharset latin1;
    latin1.utf8 = false;
    latin1.holdsByte.fill(true);
    for (const tables::Row& row : tables::read("command-line.txt")) {
        SCOPED_TRACE("command-line.txt:" + std::to_string(row.line));
        std::istringstream words(row.left);
        std::vector<std::string> arguments{"dvdverwaltung"};
        for (std::string word; words >> word;) arguments.push_back(tables::unescape(word));
        const bool inLatin1 = arguments.size() > 1 && arguments[1] == "latin1:";
        if (inLatin1) arguments.erase(arguments.begin() + 1);
        std::vector<const char*> argv;
        for (const std::string& argument : arguments) argv.push_back(argument.c_str());
        argv.push_back(nullptr);
        const auto request = command_line::parse(static_cast<int>(arguments.size()), argv.data(),
                                                 inLatin1 ? latin1 : TextCharset{});
        EXPECT_EQ(tables::escape(describe(request)), tables::escape(tables::unescape(row.right)));
    }
}
