#include "simulation/plot_axes.h"

#include <cmath>
#include <initializer_list>

namespace vemo {

double NiceStep(double r) {
  if (!(r >= 1e-10)) return 5e-11;
  const double l = std::log10(r);
  double k = std::trunc(l);
  if (l < 0) k -= 1.0;
  const double p = std::pow(10.0, k);
  const double q = r / p;
  for (double m : {7.5, 5.0, 2.5, 1.25, 1.0})
    if (m - 0.001 < q) return 0.2 * m * p;
  return 0.2 * p;
}

}  // namespace vemo
