#include "app/DvdApplication.h"

void DvdApplication::returnDvdDialog() {}
