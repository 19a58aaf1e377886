#include "app/DvdApplication.h"
#include "app/LibraryColumns.h"
#include "app/ListView.h"

namespace {
// 'b' (bearbeiten) corrects a record; the list is read again afterwards.
constexpr char LIST_KEYS[] = {DvdApplication::EDIT, '\0'};
}

void DvdApplication::listLibrary() {
    ListFilter filter;
    for (;;) {
        library.clear();
        library.load();
        clearScreen();
        const int key = runListScreen(*this, {.drawHeading = [this] { drawLibraryListHeading(); },
                                              .columns = libraryColumns(),
                                              .recordCount = library.recordCount(),
                                              .notice = fileNoticeOf(library),
                                              .value = [this](int record, int columnIndex) {
                                                  return libraryColumnValue(library, record, columnIndex);
                                              }},
                                      filter, LIST_KEYS);
        if (key != EDIT) return;
        editDvdDialog();
    }
}
