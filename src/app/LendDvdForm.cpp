#include "app/DvdApplication.h"

void DvdApplication::lendDvdForm() {}
