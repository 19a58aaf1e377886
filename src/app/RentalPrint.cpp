#include "app/DataFilePrint.h"
#include "app/DvdApplication.h"

void DvdApplication::printRentals() { printDataFile(*this, "DVDVerleih.csv"); }
