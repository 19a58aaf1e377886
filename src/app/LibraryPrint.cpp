#include "app/DvdApplication.h"
#include "app/LibraryColumns.h"
#include "app/ListPrinting.h"

void DvdApplication::printLibrary() {
    // Read as the list screen reads it: bounded, and only from a regular file.
    library.clear();
    library.load();
    printList(*this, libraryPrintout(library));
}
