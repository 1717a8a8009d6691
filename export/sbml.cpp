#include "export/sbml.h"

#include "data/error.h"

#include <sbml/SBMLTypes.h>
#include <sbml/math/L3Parser.h>

#include <fstream>
#include <memory>

LIBSBML_CPP_NAMESPACE_USE

namespace velta {

namespace {

// The expression's math; the infix text is the plain syntax of the description, which
// libSBML's Level 3 parser reads as it stands (delay(x, d) becomes the delay csymbol).
std::unique_ptr<ASTNode> mathOf(const std::string& expr, const std::string& what) {
    std::unique_ptr<ASTNode> a(SBML_parseL3Formula(expr.c_str()));
    if (!a) {
        char* err = SBML_getLastParseL3Error();
        const std::string why = err ? err : "";
        safe_free(err);
        fail("Выражение " + what + " не прочитано: " + expr + (why.empty() ? "" : " (" + why + ")"));
    }
    return a;
}

std::string escapeXml(const std::string& s) {
    std::string r;
    for (char c : s) {
        switch (c) {
        case '<': r += "&lt;"; break;
        case '>': r += "&gt;"; break;
        case '&': r += "&amp;"; break;
        default: r += c;
        }
    }
    return r;
}

unsigned countErrors(SBMLDocument& doc, std::string* report) {
    doc.checkConsistency();
    unsigned errors = 0;
    for (unsigned k = 0; k < doc.getNumErrors(); ++k) {
        const SBMLError* e = doc.getError(k);
        if (e->getSeverity() < LIBSBML_SEV_ERROR) continue;
        ++errors;
        if (report && errors <= 5) *report += e->getMessage() + "\n";
    }
    return errors;
}

}  // namespace

std::string sbmlText(const ModelDesc& m) {
    SBMLDocument doc(3, 2);
    Model* model = doc.createModel();
    model->setId("velta_" + std::to_string(m.section));
    model->setName(m.title);
    model->setTimeUnits("dimensionless");
    std::string notes = "<body xmlns=\"http://www.w3.org/1999/xhtml\"><p>VELTA: " + escapeXml(m.title) +
                        "</p>";
    for (const auto& n : m.notes) notes += "<p>" + escapeXml(n) + "</p>";
    notes += "<p>TMAX = " + exactText(m.tmax) + ", HHH = " + exactText(m.step) + "</p></body>";
    model->setNotes(notes);

    Compartment* c = model->createCompartment();
    c->setId("cell");
    c->setSize(1);
    c->setConstant(true);
    c->setSpatialDimensions(3.0);
    c->setUnits("dimensionless");

    for (const auto& v : m.vars) {
        Species* s = model->createSpecies();
        s->setId(v.name);
        s->setName(v.name);
        s->setCompartment("cell");
        s->setInitialConcentration(v.initial);
        s->setHasOnlySubstanceUnits(false);
        s->setBoundaryCondition(false);
        s->setConstant(false);
        s->setSubstanceUnits("dimensionless");
    }
    for (const auto& p : m.params) {
        Parameter* q = model->createParameter();
        q->setId(p.name);
        q->setName(p.name);
        q->setValue(p.value);
        q->setConstant(true);
        q->setUnits("dimensionless");
    }
    for (const auto& a : m.aux) {
        Parameter* q = model->createParameter();
        q->setId(a.name);
        q->setName(a.name);
        q->setConstant(false);
        q->setUnits("dimensionless");
        AssignmentRule* r = model->createAssignmentRule();
        r->setVariable(a.name);
        r->setMath(mathOf(a.expr, a.name).get());
    }
    for (const auto& v : m.vars) {
        RateRule* r = model->createRateRule();
        r->setVariable(v.name);
        r->setMath(mathOf(v.rate, "d" + v.name + "/dt").get());
    }

    std::string report;
    if (countErrors(doc, &report) > 0) fail("Модель SBML не прошла проверку libSBML:\n" + report);
    char* text = writeSBMLToString(&doc);
    if (!text) fail("libSBML не записал модель");
    std::string s(text);
    safe_free(text);
    return s;
}

void writeSbml(const ModelDesc& m, const std::string& path) {
    const std::string text = sbmlText(m);
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(text.data(), static_cast<std::streamsize>(text.size()));
    f.close();
    if (!f) fail("Не удалось записать файл " + path);
}

unsigned sbmlErrors(const std::string& text, std::string* report) {
    std::unique_ptr<SBMLDocument> doc(readSBMLFromString(text.c_str()));
    if (!doc) return 1;
    return countErrors(*doc, report);
}

}  // namespace velta
