#include "app/DvdApplication.h"

void DvdApplication::listLibrary() {}
