#include "stationary/netmodel.h"

#include "data/error.h"
#include "data/numtext.h"

#include <string>

namespace velta {

GridText connectionGrid(const Mat& mc, int n, bool zeros) {
    if (n < 0) throw VeltaError("Недопустимая размерность матрицы: " + CStr(n));
    GridText t(n + 3, n + 3);
    t.at(0, 0) = "(i,j)";
    for (int i = 1; i <= n; ++i) {
        t.at(0, i + 1) = CStr(i);
        t.at(i + 1, 0) = CStr(i);
    }
    for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= n; ++j) t.at(i + 1, j + 1) = zeros ? std::string("0") : CStr(mc(i, j));
    return t;
}

void readConnectionMatrix(ParReader& r, int n) {
    auto& g = mdlGlobal;
    r.Head_Input(2);
    for (int i = 1; i <= n; ++i) {
        std::string echo;
        for (int j = 1; j <= n; ++j) {
            g.MC(i, j) = toI16(r.readNumber());
            echo += CStr(g.MC(i, j)) + "   ";
        }
        r.echo(echo);
    }
    r.skipEmptyValueLine();
}

}  // namespace velta
