// A section's model told once, for the tools outside the package: the variables with their
// initial values and right-hand sides, the named parameters, the quantities defined from
// them, the delays, the interval and the step. Expressions are text in a plain infix syntax
// both writers emit as it stands: names, numbers, + - * / ^, parentheses and
// delay(NAME, DELAY) for the value of NAME one DELAY earlier (constant history before t = 0).
#pragma once
#include <string>
#include <vector>

namespace velta {

class SectionCore;
struct Store;

struct ModelParam {
    std::string name;
    double value = 0;
};

// A quantity defined from the state and the parameters, evaluated in list order.
struct ModelAux {
    std::string name;
    std::string expr;
};

// d(name)/dt = rate.
struct ModelVar {
    std::string name;
    double initial = 0;
    std::string rate;
};

struct ModelDesc {
    int section = 0;
    std::string title;  // the section as the menus name it
    std::vector<ModelParam> params;
    std::vector<ModelAux> aux;
    std::vector<ModelVar> vars;
    bool hasDelays = false;
    double maxDelay = 0;             // the largest delay of a delay model
    double tmax = 0, step = 0;       // interval 0..tmax of one run and its step
    std::vector<std::string> notes;  // what a reader of the exported file should know
};

// How a section tells its model from the store g and its core (models/registry.cpp names
// each section's describer).
using ModelDescriber = ModelDesc (*)(Store& g, SectionCore& core);
// The describer of the section, nullptr when it has no system of equations to export.
ModelDescriber modelDescriber(int code);

// The describers: sections 1.1 and 8 (the cyclic networks), 2.1 (the matrix MC), 9, the
// synthesis chains 5.1.1 and 5.2.1, and the delay sections 1.2, 2.2, 6, 5.1.2, 5.2.2.
ModelDesc describeSymmetric(Store& g, SectionCore& core);
ModelDesc describeEcological(Store& g, SectionCore& core);
ModelDesc describeGeneral(Store& g, SectionCore& core);
ModelDesc describeChaos(Store& g, SectionCore& core);
ModelDesc describeChain1(Store& g, SectionCore& core);
ModelDesc describeChain2(Store& g, SectionCore& core);
ModelDesc describeSymmetricDelay(Store& g, SectionCore& core);
ModelDesc describeGeneralDelay(Store& g, SectionCore& core);
ModelDesc describeSystemDelay(Store& g, SectionCore& core);
ModelDesc describeOneElementDelay(Store& g, SectionCore& core);
ModelDesc describeTwoElementDelay(Store& g, SectionCore& core);

// Whether the section's model is a system of equations that can be exported.
bool hasModelExport(int code);
// The message shown for a section with no equations to export.
std::string noModelMessage(int code);

// The model of the section as its next run starts it (a delay section: as its first
// portion starts, from the initial function on the window before t = 0). Throws VeltaError
// when the data have not been read or do not describe a model.
ModelDesc describeModel(Store& g, SectionCore& core);

// Shortest text that reads back as the same double ("0.1", "1e-05", "3"), '.' decimal.
std::string exactText(double v);

// The model as an XPPAUT ".ode" file (text with LF line ends).
std::string xppText(const ModelDesc& m);
void writeXpp(const ModelDesc& m, const std::string& path);

}  // namespace velta
