#include "app/ListText.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "app/JournalColumns.h"
#include "app/LibraryColumns.h"
#include "app/ListPrintout.h"
#include "app/ListView.h"
#include "app/RentalColumns.h"
#include "library/DvdLibrary.h"
#include "rental/RentalRegister.h"

namespace {

constexpr std::size_t COLUMN_GAP = 2;

void appendLine(std::string& out, std::string line) {
    line.erase(line.find_last_not_of(' ') + 1);  // npos + 1: an all-blank line becomes empty
    out += line;
    out += '\n';
}

// Every line in the output's character set, each byte as the screen shows it.
std::string inCharset(const std::string& cp850Text, const TextCharset& charset) {
    std::string out;
    out.reserve(cp850Text.size());
    for (const char byte : cp850Text) {
        if (byte == '\n') out += byte;
        else cp850::appendGlyph(out, static_cast<unsigned char>(byte), charset.glyphs);
    }
    return out;
}

template <typename Store>
struct LoadedList {
    std::unique_ptr<Store> store = std::make_unique<Store>();
    bool locked = false;
    bool unreadable = false;
};

template <typename Store>
LoadedList<Store> load(std::string_view fileName) {
    LoadedList<Store> loaded;
    loaded.store->clear();
    if (loaded.store->load()) return loaded;
    loaded.locked = loaded.store->wasLocked();
    std::error_code error;
    loaded.unreadable = !loaded.locked && std::filesystem::exists(fileName, error);
    return loaded;
}

// Standard output as the list's last stop: false, after saying why, when
// it could not take every byte; a reader that has gone is no news.
bool writeOut(const std::string& text) {
    if (std::fwrite(text.data(), 1, text.size(), stdout) == text.size() && std::fflush(stdout) == 0) return true;
    if (errno != EPIPE) std::fputs("dvdverwaltung: Schreibfehler auf der Standardausgabe\n", stderr);
    return false;
}

// The printout's list, laid out for a terminal: columns as wide as their
// widest value, the count line, and the screen's notice of what is not shown.
std::string formatListText(const PrintedList& list) {
    std::vector<std::size_t> widths;
    for (const PrintColumn& column : list.columns) widths.push_back(std::string_view(column.label).size());
    for (int record = 0; record < list.recordCount; ++record)
        for (std::size_t index = 0; index < widths.size(); ++index)
            widths[index] = std::max(widths[index], list.value(record, static_cast<int>(index)).size());
    const auto columnsLine = [&](const std::function<std::string(std::size_t index)>& cell) {
        std::string line;
        for (std::size_t index = 0; index < widths.size(); ++index) {
            std::string text = cell(index);
            if (index + 1 < widths.size()) text.resize(widths[index] + COLUMN_GAP, ' ');
            line += text;
        }
        return line;
    };
    std::string out;
    appendLine(out, std::string(list.name));
    appendLine(out, "");
    appendLine(out, columnsLine([&](std::size_t index) { return std::string(list.columns[index].label); }));
    for (int record = 0; record < list.recordCount; ++record)
        appendLine(out, columnsLine([&](std::size_t index) { return list.value(record, static_cast<int>(index)); }));
    appendLine(out, "");
    appendLine(out, countLine(list));
    if (list.file.fileHoldsMore()) appendLine(out, fileHoldsMoreText(list.file, "ANGEZEIGT"));
    return out;
}

template <typename Store>
int writeLoaded(std::string_view fileName, const TextCharset& charset, PrintedList (*describe)(const Store&)) {
    const LoadedList<Store> loaded = load<Store>(fileName);
    if (loaded.locked || loaded.unreadable) {
        std::fprintf(stderr, "dvdverwaltung: %s %s\n", std::string(fileName).c_str(),
                     loaded.locked ? "ist gesperrt" : "kann nicht gelesen werden");
        return 1;
    }
    return writeOut(inCharset(formatListText(describe(*loaded.store)), charset)) ? 0 : 1;
}

// The journal, newest first; a journal not kept is an empty list.
int writeJournalText(const TextCharset& charset) {
    const lending_journal::HeldEvents journal = lending_journal::readHeldEvents();
    if (journal.reading.locked || journal.reading.failed) {
        std::fprintf(stderr, "dvdverwaltung: %s %s\n", lending_journal::FILE_NAME,
                     journal.reading.locked ? "ist gesperrt" : "kann nicht gelesen werden");
        return 1;
    }
    return writeOut(inCharset(formatListText(journalPrintout(journal)), charset)) ? 0 : 1;
}

}  // namespace

std::string listText(const PrintedList& list, const TextCharset& charset) {
    return inCharset(formatListText(list), charset);
}

std::string textInCharset(const std::string& cp850Text, const TextCharset& charset) {
    return inCharset(cp850Text, charset);
}

int writeListText(command_line::ListKind kind, const TextCharset& charset) {
    if (kind == command_line::ListKind::Library) return writeLoaded<DvdLibrary>(library_record::FILE_NAME, charset, libraryPrintout);
    if (kind == command_line::ListKind::Journal) return writeJournalText(charset);
    return writeLoaded<RentalRegister>(rental_record::FILE_NAME, charset, rentalPrintout);
}
