// The model description as an SBML Level 3 Version 2 document, through libSBML: one
// compartment, a species per variable with a rate rule, the parameters with their names
// and values, the defined quantities as assignment rules, delays as the delay csymbol.
#pragma once
#include "models/export/modeldesc.h"

#include <string>

namespace velta {

// The SBML text; throws VeltaError when an expression cannot be read or the document
// fails libSBML's consistency checks (the message lists the first errors).
std::string sbmlText(const ModelDesc& m);
void writeSbml(const ModelDesc& m, const std::string& path);

// Number of errors (severity error or fatal) libSBML's consistency checks find in a document
// text, with their messages in `report`.
unsigned sbmlErrors(const std::string& text, std::string* report = nullptr);

}  // namespace velta
