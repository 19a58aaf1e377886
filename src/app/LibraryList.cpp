#include "app/DvdApplication.h"
#include "app/LibraryColumns.h"
#include "app/ListView.h"

void DvdApplication::listLibrary() {
    library.clear();
    library.load();
    clearScreen();
    ListFilter filter;
    runListScreen(*this, {.drawHeading = [this] { drawLibraryListHeading(); },
                          .columns = libraryColumns(),
                          .recordCount = library.recordCount(),
                          .notice = fileNoticeOf(library),
                          .value = [this](int record, int columnIndex) { return libraryColumnValue(library, record, columnIndex); }},
                  filter);
}
