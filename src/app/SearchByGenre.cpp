#include "app/DvdApplication.h"

void DvdApplication::searchByGenre() {}
