#include "data/store.h"

#include <cmath>

namespace velta {

Store mdlGlobal;

namespace detail {

void indexError(int i, int upper) {
    throw VeltaError("Индекс " + std::to_string(i) + " вне границ массива (0.." + std::to_string(upper) +
                     ")");
}

void indexError(int i, int j, int rows, int cols) {
    throw VeltaError("Индекс (" + std::to_string(i) + "," + std::to_string(j) + ") вне границ матрицы (0.." +
                     std::to_string(rows) + ", 0.." + std::to_string(cols) + ")");
}

}  // namespace detail

i16 toI16(double v) {
    if (!std::isfinite(v)) throw VeltaError("Переполнение: значение не является конечным числом");
    const double r = std::nearbyint(v);  // default rounding mode: nearest, ties to even
    if (r < -32768.0 || r > 32767.0)
        throw VeltaError("Переполнение: значение вне диапазона целых чисел (-32768..32767)");
    return static_cast<i16>(r);
}

}  // namespace velta
