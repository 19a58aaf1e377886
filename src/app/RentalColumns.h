#pragma once
#include <span>
#include <string>

#include "app/ListPrintout.h"
#include "app/ListView.h"

class RentalRegister;

// The columns of the rental list, on the screen and on paper.
std::span<const ListColumn> rentalColumns();
std::string rentalColumnValue(const RentalRegister& rentals, int record, int columnIndex);
// The list as printed: the records rentals holds, in these columns.
PrintedList rentalPrintout(const RentalRegister& rentals);
