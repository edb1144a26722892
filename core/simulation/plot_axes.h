// Axis rules shared by every plot.
#pragma once

namespace vemo {

// Grid step for an axis of extent r.
double NiceStep(double r);

}  // namespace vemo
