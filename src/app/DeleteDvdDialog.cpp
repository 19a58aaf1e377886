#include "app/DvdApplication.h"

void DvdApplication::deleteDvdDialog() {}
