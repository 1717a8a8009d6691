// The section input windows by section code.
#include "data/forms/formhost.h"
#include "models/section11/frmUni_11.h"
#include "models/section12/frmUni_12.h"
#include "models/section21/frmUni_21.h"
#include "models/section22/frmUni_22.h"
#include "models/section6/frmUni_6.h"
#include "models/section8/frmUni_8.h"
#include "models/section9/frmUni_9.h"
#include "stationary/section213/frmUni_213.h"
#include "stationary/section215/frmUni_215.h"
#include "stationary/section217/frmUni_217.h"
#include "stationary/section3/frmUni_3.h"
#include "stationary/section4/frmUni_4.h"
#include "stationary/section7/frmUni_7.h"
#include "synthesis/section511/frmUni_511.h"
#include "synthesis/section512/frmUni_512.h"
#include "synthesis/section521/frmUni_521.h"
#include "synthesis/section522/frmUni_522.h"

namespace velta {

std::unique_ptr<SectionWindow> makeSectionWindow(int code, FormHost& host) {
    switch (code) {
    case 11: return std::make_unique<frmUni_11>(host);
    case 21: return std::make_unique<frmUni_21>(host);
    case 8: return std::make_unique<frmUni_8>(host);
    case 9: return std::make_unique<frmUni_9>(host);
    case 511: return std::make_unique<frmUni_511>(host);
    case 521: return std::make_unique<frmUni_521>(host);
    case 22: return std::make_unique<frmUni_22>(host);
    case 512: return std::make_unique<frmUni_512>(host);
    case 522: return std::make_unique<frmUni_522>(host);
    case 12: return std::make_unique<frmUni_12>(host);
    case 6: return std::make_unique<frmUni_6>(host);
    case 213: return std::make_unique<frmUni_213>(host);
    case 215: return std::make_unique<frmUni_215>(host);
    case 217: return std::make_unique<frmUni_217>(host);
    case 4: return std::make_unique<frmUni_4>(host);
    case 3: return std::make_unique<frmUni_3>(host);
    case 7: return std::make_unique<frmUni_7>(host);
    default: return nullptr;
    }
}

}  // namespace velta
