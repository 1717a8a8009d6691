// The section cores by section code; sections are added here as they are built.
#include "models/section.h"
#include "models/section11/sec11.h"
#include "models/section12/sec12.h"
#include "models/section21/sec21.h"
#include "models/section22/sec22.h"
#include "models/section6/sec6.h"
#include "models/section8/sec8.h"
#include "models/section9/sec9.h"
#include "stationary/section213/sec213.h"
#include "stationary/section215/sec215.h"
#include "stationary/section217/sec217.h"
#include "stationary/section3/sec3.h"
#include "stationary/section4/sec4.h"
#include "stationary/section7/sec7.h"
#include "synthesis/section511/sec511.h"
#include "synthesis/section512/sec512.h"
#include "synthesis/section521/sec521.h"
#include "synthesis/section522/sec522.h"

namespace velta {

std::unique_ptr<SectionCore> makeSectionCore(int code) {
    switch (code) {
    case 11: return std::make_unique<Sec11>();
    case 9: return std::make_unique<Sec9>();
    case 21: return std::make_unique<Sec21>();
    case 8: return std::make_unique<Sec8>();
    case 511: return std::make_unique<Sec511>();
    case 521: return std::make_unique<Sec521>();
    case 22: return std::make_unique<Sec22>();
    case 213: return std::make_unique<Sec213>();
    case 512: return std::make_unique<Sec512>();
    case 522: return std::make_unique<Sec522>();
    case 12: return std::make_unique<Sec12>();
    case 6: return std::make_unique<Sec6>();
    case 215: return std::make_unique<Sec215>();
    case 217: return std::make_unique<Sec217>();
    case 4: return std::make_unique<Sec4>();
    case 3: return std::make_unique<Sec3>();
    case 7: return std::make_unique<Sec7>();
    default: return nullptr;
    }
}

}  // namespace velta
