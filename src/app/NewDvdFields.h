#pragma once
#include "app/FormEngine.h"

class DvdApplication;

// The new-DVD form: its four fields, their checks, and the append of the
// record assembled in the library's WORK_ROW. The edit dialog starts from it.
FormDefinition newDvdFormDefinition(DvdApplication& application);
