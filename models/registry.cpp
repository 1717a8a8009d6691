// The section cores by section code; sections are added here as they are built.
#include "models/section.h"
#include "models/section11/sec11.h"

namespace velta {

std::unique_ptr<SectionCore> makeSectionCore(int code) {
    switch (code) {
    case 11: return std::make_unique<Sec11>();
    default: return nullptr;
    }
}

} // namespace velta
