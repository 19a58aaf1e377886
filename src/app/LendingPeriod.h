#pragma once

// The lending period the dated rental view measures against: 28 days unless
// the command line said otherwise (--leihfrist).
namespace lending_period {

int days();
void set(int days);

}  // namespace lending_period
