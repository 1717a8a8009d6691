// The combined lines of the synthesis sections' data files (5.2.1, 5.2.2): a label line such as
// "BETA1,BETA2:" and then two or three numbers on one line.
#pragma once
#include "data/datafile.h"

#include <initializer_list>
#include <string>

namespace velta {

// After the label line: the numbers into *v in turn, echoed "label = v1,v2[,v3]".
void readCombined(ParReader& r, const std::string& label, std::initializer_list<double*> v);

}  // namespace velta
