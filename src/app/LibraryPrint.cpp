#include "app/DataFilePrint.h"
#include "app/DvdApplication.h"

void DvdApplication::printLibrary() { printDataFile(*this, "DVDBibliothek.csv"); }
