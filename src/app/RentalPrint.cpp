#include "app/DvdApplication.h"

void DvdApplication::printRentals() {}
