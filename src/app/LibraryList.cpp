#include "app/DvdApplication.h"
#include "app/ListView.h"

namespace {

constexpr ListColumn LIBRARY_COLUMNS[] = {
    {"Film Art:", 2}, {"Titel DE:", 20}, {"Titeln ENG:", 45}, {"Laenge:", 70}};

std::string libraryValue(const DvdLibrary& library, int record, int columnIndex) {
    switch (columnIndex) {
    case 0: return library.getGenre(record);
    case 1: return library.getTitleGerman(record);
    case 2: return library.getTitleEnglish(record);
    default: return library.getLengthMinutes(record);
    }
}

}  // namespace

void DvdApplication::listLibrary() {
    library.clear();
    library.load();
    clearScreen();
    runListScreen(*this, [this] {
        drawLibraryListHeading();
        drawListRows(*this, LIBRARY_COLUMNS, library.recordCount(), library.unreadLineCount(),
                     [this](int record, int columnIndex) { return libraryValue(library, record, columnIndex); });
    });
}
