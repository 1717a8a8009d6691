#include "data/store.h"

#include <cmath>

namespace velta {

Store mdlGlobal;

i16 toI16(double v) {
    if (!std::isfinite(v)) throw VeltaError("Переполнение: значение не является конечным числом");
    const double r = std::nearbyint(v);  // default rounding mode: nearest, ties to even
    if (r < -32768.0 || r > 32767.0)
        throw VeltaError("Переполнение: значение вне диапазона целых чисел (-32768..32767)");
    return static_cast<i16>(r);
}

} // namespace velta
