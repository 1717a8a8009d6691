// The section input windows by section code.
#include "data/forms/formhost.h"
#include "models/section11/frmUni_11.h"

namespace velta {

std::unique_ptr<SectionWindow> makeSectionWindow(int code, FormHost& host) {
    switch (code) {
    case 11: return std::make_unique<frmUni_11>(host);
    default: return nullptr;
    }
}

} // namespace velta
