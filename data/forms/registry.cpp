// The section input windows by section code; a section is added here with one row.
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

namespace {

template <class W>
std::unique_ptr<SectionWindow> make(FormHost& host) {
    return std::make_unique<W>(host);
}

struct WindowRow {
    int code;
    std::unique_ptr<SectionWindow> (*make)(FormHost& host);
};

const WindowRow kWindows[] = {
    {11, make<frmUni_11>},   {12, make<frmUni_12>},   {21, make<frmUni_21>},   {213, make<frmUni_213>},
    {215, make<frmUni_215>}, {217, make<frmUni_217>}, {22, make<frmUni_22>},   {3, make<frmUni_3>},
    {4, make<frmUni_4>},     {511, make<frmUni_511>}, {512, make<frmUni_512>}, {521, make<frmUni_521>},
    {522, make<frmUni_522>}, {6, make<frmUni_6>},     {7, make<frmUni_7>},     {8, make<frmUni_8>},
    {9, make<frmUni_9>},
};

}  // namespace

std::unique_ptr<SectionWindow> makeSectionWindow(int code, FormHost& host) {
    for (const WindowRow& r : kWindows)
        if (r.code == code) return r.make(host);
    return nullptr;
}

}  // namespace velta
