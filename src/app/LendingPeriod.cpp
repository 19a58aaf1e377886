#include "app/LendingPeriod.h"

#include "rental/LendingDates.h"

namespace lending_period {
namespace {
int lendingDays = lending_dates::DEFAULT_LENDING_DAYS;
}

int days() { return lendingDays; }
void set(int days) { lendingDays = days; }

}  // namespace lending_period
