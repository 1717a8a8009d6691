// The section cores by section code, with the describer of the model each one exports;
// a section is added here with one row.
#include "models/export/modeldesc.h"
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

namespace {

template <class S>
std::unique_ptr<SectionCore> make() {
    return std::make_unique<S>();
}

struct CoreRow {
    int code;
    std::unique_ptr<SectionCore> (*make)();
    ModelDescriber describe;  // nullptr: no system of equations to export
};

const CoreRow kCores[] = {
    {11, make<Sec11>, describeSymmetric},
    {12, make<Sec12>, describeSymmetricDelay},
    {21, make<Sec21>, describeGeneral},
    {213, make<Sec213>, nullptr},
    {215, make<Sec215>, nullptr},
    {217, make<Sec217>, nullptr},
    {22, make<Sec22>, describeGeneralDelay},
    {3, make<Sec3>, nullptr},
    {4, make<Sec4>, nullptr},
    {511, make<Sec511>, describeChain1},
    {512, make<Sec512>, describeOneElementDelay},
    {521, make<Sec521>, describeChain2},
    {522, make<Sec522>, describeTwoElementDelay},
    {6, make<Sec6>, describeSystemDelay},
    {7, make<Sec7>, nullptr},
    {8, make<Sec8>, describeEcological},
    {9, make<Sec9>, describeChaos},
};

const CoreRow* findCore(int code) {
    for (const CoreRow& r : kCores)
        if (r.code == code) return &r;
    return nullptr;
}

}  // namespace

std::unique_ptr<SectionCore> makeSectionCore(int code) {
    const CoreRow* r = findCore(code);
    return r ? r->make() : nullptr;
}

ModelDescriber modelDescriber(int code) {
    const CoreRow* r = findCore(code);
    return r ? r->describe : nullptr;
}

}  // namespace velta
