#include "synthesis/combined.h"

#include "data/numtext.h"

namespace velta {

void readCombined(ParReader& r, const std::string& label, std::initializer_list<double*> v) {
    r.skipLine();
    for (double* x : v) *x = r.readNumber();
    std::string values;
    for (double* x : v) values += (values.empty() ? "" : ",") + CStr(*x);
    r.echo(label + " = " + values);
}

}  // namespace velta
