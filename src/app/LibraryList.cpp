#include "app/DvdApplication.h"
#include "app/LibraryColumns.h"
#include "app/ListView.h"

void DvdApplication::listLibrary() {
    library.clear();
    library.load();
    clearScreen();
    runListScreen(*this, [this] {
        drawLibraryListHeading();
        drawListRows(*this, libraryColumns(), library.recordCount(), fileNoticeOf(library),
                     [this](int record, int columnIndex) { return libraryColumnValue(library, record, columnIndex); });
    });
}
