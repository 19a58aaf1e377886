#include <gtest/gtest.h>

#include <cstring>

#include "app/CommandLine.h"
#include "support/Tables.h"

// The rows of tests/cases/command-line.txt through parse(), with the C
// library's getopt_long of each platform: the Windows leg runs no program
// in a terminal, so this is where its getopt_long meets the rows. What the
// parser decides must be what the row expects of the program: a refusal is
// the row's exit 2 and reason; a row ending with 2 although parsed names a
// directory (those are refused after parsing); help and version shown are
// asked for.
TEST(CommandLine, TableRowsParsed) {
    TextCharset latin1;
    latin1.utf8 = false;
    latin1.holdsByte.fill(true);
    for (const tables::CommandLineRow& row : tables::readCommandLineTable(COMMAND_LINE_TABLE)) {
        SCOPED_TRACE("command-line.txt:" + std::to_string(row.line) + ": " + row.name);
        std::vector<std::string> arguments = tables::words(row.arguments);
        arguments.insert(arguments.begin(), "dvdverwaltung");
        std::vector<const char*> argv;
        for (const std::string& argument : arguments) argv.push_back(argument.c_str());
        argv.push_back(nullptr);
        const bool inLatin1 = row.run.find("locale=de_DE.ISO-8859-1") != std::string::npos;
        const auto request =
            command_line::parse(static_cast<int>(arguments.size()), argv.data(), inLatin1 ? latin1 : TextCharset{});
        if (request.action == command_line::Action::Refuse) {
            EXPECT_EQ(row.exit, "2") << request.refusal;
            EXPECT_TRUE(tables::meets("=" + row.errors, request.refusal + "\n")) << tables::escape(request.refusal);
        } else if (row.exit == "2") {
            EXPECT_FALSE(request.directories.empty()) << "parsed, yet refused";
        }
        const std::string shown = tables::unescape(row.output);
        const bool helpShown = !shown.starts_with('=') && shown != "-" && std::strstr(command_line::HELP_TEXT, shown.c_str());
        if (row.exit == "0" && helpShown) {
            EXPECT_EQ(request.action, command_line::Action::ShowHelp);
        }
        if (row.exit == "0" && shown.starts_with("=dvdverwaltung ")) {
            EXPECT_EQ(request.action, command_line::Action::ShowVersion);
        }
    }
}

// The table's expected texts, against tables/expected-texts.txt: a matcher
// that took too much would let every row pass.
TEST(CommandLine, ExpectedTexts) {
    for (const tables::Row& row : tables::read("expected-texts.txt")) {
        const std::size_t bar = row.left.find(" | ");
        ASSERT_NE(bar, std::string::npos) << "expected-texts.txt:" << row.line;
        const bool met = tables::meets(row.left.substr(0, bar), tables::unescape(row.left.substr(bar + 3)));
        EXPECT_EQ(met ? "ja" : "nein", row.right) << "expected-texts.txt:" << row.line << ": " << row.left;
    }
}
