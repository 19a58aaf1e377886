#include "library/DvdLibrary.h"

#include <utility>

namespace {
// Every line ends with a separator after the running time.
constexpr storage::CsvLayout LIBRARY_LINE{4, true};
}  // namespace

DvdLibrary::DvdLibrary() : file("DVDBibliothek.csv", LIBRARY_LINE) {}

std::array<storage::StoreColumn*, 4> DvdLibrary::columns() {
    return {&genre, &titleGerman, &titleEnglish, &lengthMinutes};
}

void DvdLibrary::clear() {
    storage::emptyRows(columns(), 0, count);
    count = 0;
    file.forget();
}

bool DvdLibrary::load() { return file.load(columns(), count); }

bool DvdLibrary::appendRecord() { return file.append(columns(), WORK_ROW); }

bool DvdLibrary::saveAll() { return file.replace(columns(), count); }

void DvdLibrary::removeRecord(int row) {
    storage::removeRow(columns(), row, count);
    --count;
}

int DvdLibrary::recordCount() const { return count; }
int DvdLibrary::unreadLineCount() const { return file.unreadLineCount(); }
bool DvdLibrary::isComplete() const { return file.unreadLineCount() == 0; }

void DvdLibrary::setGenre(std::string text, int row) { genre[row] = std::move(text); }
std::string DvdLibrary::getGenre(int row) const { return genre[row]; }
void DvdLibrary::setTitleGerman(std::string text, int row) { titleGerman[row] = std::move(text); }
std::string DvdLibrary::getTitleGerman(int row) const { return titleGerman[row]; }
void DvdLibrary::setTitleEnglish(std::string text, int row) { titleEnglish[row] = std::move(text); }
std::string DvdLibrary::getTitleEnglish(int row) const { return titleEnglish[row]; }
void DvdLibrary::setLengthMinutes(std::string text, int row) { lengthMinutes[row] = std::move(text); }
std::string DvdLibrary::getLengthMinutes(int row) const { return lengthMinutes[row]; }
