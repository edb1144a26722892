// libFuzzer harness for the reader of typed transfer functions W(s).
//
//   CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DVEMO_FUZZ=ON
//   ninja -C build-fuzz fuzz_transfer_text
//   build-fuzz/fuzz/fuzz_transfer_text fuzz/corpus/transfer_text
#include <cfenv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "frequency/transfer_text.h"

namespace {

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

bool Finite(const vemo::TPolynomial& p) {
  if (p.Coef.size() != p.Degree + 1u) return false;
  for (vemo::Real c : p.Coef)
    if (!std::isfinite(c)) return false;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::feclearexcept(FE_ALL_EXCEPT);

  vemo::TFraction f = vemo::FracOne();
  const bool ok = vemo::ParseTransferFunction(text, f);
  // The parser never leaks a fault flag of its arithmetic.
  Check(!std::fetestexcept(FE_DIVBYZERO | FE_INVALID | FE_OVERFLOW));
  if (ok) {
    Check(size <= vemo::kMaxTransferText);
    Check(Finite(f.Num) && Finite(f.Den));
    Check(f.Num.Degree <= 999 && f.Den.Degree <= 999);
    // Its texts can always be made (a number beyond the range of the
    // number text form is written as an empty text).
    (void)vemo::PolynomialText(f.Num);
    (void)vemo::PolynomialText(f.Den);
    // Parsing the same text again gives the same fraction.
    vemo::TFraction g;
    Check(vemo::ParseTransferFunction(text, g));
    Check(g.Num.Coef == f.Num.Coef && g.Den.Coef == f.Den.Coef);
    vemo::FracFree(g);
  } else {
    // A failed parse leaves the fraction as it was.
    Check(f.Num.Degree == 0 && f.Num.Coef.size() == 1 && f.Num.Coef[0] == 1);
  }
  vemo::FracFree(f);
  return 0;
}
