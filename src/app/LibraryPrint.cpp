#include "app/DvdApplication.h"

void DvdApplication::printLibrary() {}
