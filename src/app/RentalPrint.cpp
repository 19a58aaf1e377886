#include "app/DvdApplication.h"
#include "app/ListPrinting.h"
#include "app/RentalColumns.h"

void DvdApplication::printRentals() {
    // Read as the list screen reads it: bounded, and only from a regular file.
    rentals.clear();
    rentals.load();
    printList(*this, rentalPrintout(rentals));
}
