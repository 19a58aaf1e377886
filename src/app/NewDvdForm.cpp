#include "app/DvdApplication.h"

void DvdApplication::newDvdForm() {}
