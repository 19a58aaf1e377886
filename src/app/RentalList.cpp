#include "app/DvdApplication.h"

void DvdApplication::listRentals() {}
