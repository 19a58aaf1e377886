#pragma once
#include "app/ListPrintout.h"

class ConsoleScreen;

// Prints a list and tells the operator in the message style what became of
// it: nothing to print, accepted by the printing system, or failed with the
// printing system's first error line below the message.
void printList(ConsoleScreen& screen, const PrintedList& list);
