// Every shipped sample of every exportable section: the SBML export passes libSBML's
// consistency checks, and its rate rules, read back by libSBML and evaluated here at the
// initial state, give the section's own right-hand sides (Vych_PCH) to 1e-12.
#include "export/sbml.h"
#include "data/paths.h"
#include "data/store.h"
#include "graphics/canvas.h"
#include "models/delay/delayscheme.h"
#include "models/export/modeldesc.h"
#include "models/section.h"
#include "models/section11/sec11.h"
#include "models/section21/sec21.h"
#include "models/section8/sec8.h"
#include "models/section9/sec9.h"
#include "support/recording_surface.h"
#include "support/scripted_prompter.h"
#include "support/tempdir.h"
#include "synthesis/section511/sec511.h"
#include "synthesis/section521/sec521.h"

#include <sbml/SBMLTypes.h>

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <map>
#include <memory>
#include <stdexcept>

LIBSBML_CPP_NAMESPACE_USE

namespace velta::test {
namespace {

namespace fs = std::filesystem;

struct Sample {
    int code;
    std::string file;  // under User
    std::string task;  // task folder of a delay section
};

// Every data file of the exportable sections shipped in User.
std::vector<Sample> shippedSamples() {
    const struct {
        int code;
        const char* ext;
        const char* sub;
    } kinds[] = {{11, ".mnkd", ""},   {21, ".mtrd", ""},      {8, ".gsed", ""},      {9, ".chad", ""},
                 {511, ".sy1d", ""},  {521, ".sy2d", ""},     {12, ".mnzd", "Mnk"},  {22, ".mtzd", "Mtr"},
                 {6, ".suzd", "Suz"}, {512, ".syzd", "Sy1z"}, {522, ".syzd", "Sy2z"}};
    const fs::path user = fs::path(VELTA_SOURCE_DIR) / "User";
    std::vector<Sample> out;
    for (const auto& k : kinds) {
        for (const auto& e : fs::recursive_directory_iterator(user)) {
            if (!e.is_regular_file() || e.path().extension() != k.ext) continue;
            const fs::path rel = fs::relative(e.path(), user);
            const bool inSub = rel.begin()->string() == k.sub;
            if (std::string(k.sub).empty() ? rel.has_parent_path() : !inSub) continue;
            out.push_back({k.code, rel.string(),
                           std::string(k.sub).empty() ? "" : rel.parent_path().filename().string()});
        }
    }
    return out;
}

// The value of libSBML's math at one point: numbers, names, + - * / ^, functions the
// export uses, and delay(x, d), which at t = 0 reads the constant history x(0).
double eval(const ASTNode* a, const std::map<std::string, double>& v) {
    const auto arg = [&](unsigned k) { return eval(a->getChild(k), v); };
    switch (a->getType()) {
    case AST_INTEGER: return static_cast<double>(a->getInteger());
    case AST_REAL:
    case AST_REAL_E:
    case AST_RATIONAL: return a->getReal();
    case AST_NAME: {
        const auto it = v.find(a->getName());
        if (it == v.end()) throw std::runtime_error(std::string("unknown name ") + a->getName());
        return it->second;
    }
    case AST_PLUS: {
        double s = 0;
        for (unsigned k = 0; k < a->getNumChildren(); ++k) s = k ? s + arg(k) : arg(k);
        return s;
    }
    case AST_MINUS: return a->getNumChildren() == 1 ? -arg(0) : arg(0) - arg(1);
    case AST_TIMES: {
        double p = 1;
        for (unsigned k = 0; k < a->getNumChildren(); ++k) p = k ? p * arg(k) : arg(k);
        return p;
    }
    case AST_DIVIDE: return arg(0) / arg(1);
    case AST_POWER:
    case AST_FUNCTION_POWER: return std::pow(arg(0), arg(1));
    case AST_FUNCTION_DELAY: return arg(0);
    default: throw std::runtime_error("unexpected math node " + std::to_string(a->getType()));
    }
}

bool hasDelay(const ASTNode* a) {
    if (a->getType() == AST_FUNCTION_DELAY) return true;
    for (unsigned k = 0; k < a->getNumChildren(); ++k)
        if (hasDelay(a->getChild(k))) return true;
    return false;
}

// The right-hand sides dX/dt of the section's own code at the initial state of the model in g.
std::vector<double> sectionRates(Store& g, SectionCore& core, const ModelDesc& m) {
    const int n = static_cast<int>(m.vars.size());
    std::vector<double> x(static_cast<std::size_t>(n) + 1);
    for (int i = 1; i <= n; ++i)
        x[static_cast<std::size_t>(i)] = m.vars[static_cast<std::size_t>(i - 1)].initial;
    std::vector<double> r(static_cast<std::size_t>(n) + 1);
    auto setXV = [&] {
        for (int i = 1; i <= n; ++i) g.XV(i) = x[static_cast<std::size_t>(i)];
    };
    switch (m.section) {
    case 11:
    case 21:
        setXV();
        if (m.section == 11) Sec11::Vych_PCH(g);
        else Sec21::Vych_PCH2(g);
        for (int i = 1; i <= n; ++i) r[i] = g.FV(i) - x[i];
        break;
    case 8: {
        setXV();
        Vec rate(n);
        Sec8::Vych_PCH(g, rate);
        for (int i = 1; i <= n; ++i) r[i] = g.FV(i) + rate(i) * x[i];
        break;
    }
    case 9: {
        auto& s = dynamic_cast<Sec9&>(core);
        for (int i = 1; i <= n; ++i) s.XOLD9(i) = x[i];
        s.Vych_PCH(g);
        for (int i = 1; i <= n; ++i) r[i] = s.FR9(i) - x[i];
        break;
    }
    case 511:
        setXV();
        Sec511::Vych_PCH(g, Sec511::rates(g));
        for (int i = 1; i <= n; ++i) r[i] = g.FV(i) + g.DV(i) * x[i];
        break;
    case 521:
        setXV();
        Sec521::rates(g);
        Sec521::Vych_PCH(g);
        for (int i = 1; i <= n; ++i) r[i] = g.FV(i) - g.AK(i) * x[i];
        break;
    default: {
        // Delay sections: before the first step every delayed value is the history x(0).
        auto& d = dynamic_cast<DelayModel&>(core);
        for (int j = 1; j <= d.delays(g); ++j)
            for (int k = 1; k <= n; ++k) g.ZTAU(j, k) = x[k];
        for (int k = 1; k <= n; ++k) g.FZ(k) = 0;
        d.Vych_PCH(g);
        for (int k = 1; k <= n; ++k) r[k] = g.FZ(k) - d.decay(g, k) * x[k];
    }
    }
    return r;
}

class SbmlSamples : public ::testing::Test {
protected:
    Store mdl;
    void SetUp() override { setColours(mdl, true); }
    // Reads a shipped sample into a fresh core as "&Ввод исходных данных" does.
    std::unique_ptr<SectionCore> load(const Sample& s) {
        mdl.reset();
        if (!s.task.empty()) {
            mdl.TASKDIR = s.task;
            mdl.SUBDIR = fs::path(s.file).begin()->string() + "\\";
        }
        auto core = makeSectionCore(s.code);
        core->dataPath = (fs::path(VELTA_SOURCE_DIR) / "User" / s.file).string();
        core->InputPar(c);
        return core;
    }
    TempApp app;
    AppPaths paths{app.root()};
    RecordingSurface surf;
    ScriptedPrompter ui;
    Ctx c{surf, ui, paths, mdl};
};

TEST_F(SbmlSamples, EveryShippedSampleValidatesAndMatchesItsRightHandSides) {
    const auto samples = shippedSamples();
    // 4 + 2 + 2 + 3 + 2 + 2 autonomous, 4 + 1 + 2 + 2 + 2 delay samples are shipped.
    ASSERT_EQ(samples.size(), 26u);
    for (const Sample& s : samples) {
        SCOPED_TRACE(std::to_string(s.code) + " " + s.file);
        auto core = load(s);
        const ModelDesc m = describeModel(mdl, *core);
        ASSERT_FALSE(m.vars.empty());
        const std::string text = sbmlText(m);
        std::string report;
        EXPECT_EQ(sbmlErrors(text, &report), 0u) << report;

        std::unique_ptr<SBMLDocument> doc(readSBMLFromString(text.c_str()));
        const Model* model = doc->getModel();
        ASSERT_NE(model, nullptr);
        EXPECT_EQ(doc->getLevel(), 3u);
        EXPECT_EQ(doc->getVersion(), 2u);
        ASSERT_EQ(model->getNumSpecies(), m.vars.size());
        EXPECT_EQ(model->getNumRules(), m.vars.size() + m.aux.size());

        // The values as libSBML reads them back: species, constant parameters, then the
        // assignment rules in document order.
        std::map<std::string, double> v;
        for (unsigned k = 0; k < model->getNumSpecies(); ++k)
            v[model->getSpecies(k)->getId()] = model->getSpecies(k)->getInitialConcentration();
        for (unsigned k = 0; k < model->getNumParameters(); ++k)
            if (model->getParameter(k)->getConstant())
                v[model->getParameter(k)->getId()] = model->getParameter(k)->getValue();
        bool delays = false;
        for (unsigned k = 0; k < model->getNumRules(); ++k) {
            const Rule* r = model->getRule(k);
            if (r->isAssignment()) v[r->getVariable()] = eval(r->getMath(), v);
            delays = delays || hasDelay(r->getMath());
        }
        EXPECT_EQ(delays, m.hasDelays);

        const std::vector<double> expected = sectionRates(mdl, *core, m);
        for (std::size_t i = 0; i < m.vars.size(); ++i) {
            const std::string& id = model->getSpecies(static_cast<unsigned>(i))->getId();
            EXPECT_EQ(id, m.vars[i].name);
            const Rule* rule = model->getRateRule(id);
            ASSERT_NE(rule, nullptr) << id;
            const double got = eval(rule->getMath(), v);
            const double want = expected[i + 1];
            EXPECT_NEAR(got, want, 1e-12 * std::max(1.0, std::fabs(want))) << id << " = " << m.vars[i].rate;
        }
    }
}

// Sections whose work is not a system of equations say so instead of exporting.
TEST(ModelExport, SectionsWithoutEquationsSaySo) {
    Store mdl;
    for (int code : {213, 215, 217, 3, 4, 7}) {
        EXPECT_FALSE(hasModelExport(code)) << code;
        auto core = makeSectionCore(code);
        ASSERT_TRUE(core);
        try {
            describeModel(mdl, *core);
            ADD_FAILURE() << code << " exported";
        } catch (const VeltaError& e) {
            EXPECT_NE(std::string(e.what()).find("нет системы уравнений"), std::string::npos) << e.what();
        }
    }
    for (int code : {11, 12, 21, 22, 6, 8, 9, 511, 512, 521, 522}) EXPECT_TRUE(hasModelExport(code)) << code;
}

// Before the data are read there is no model to export: a message, not a crash.
TEST(ModelExport, UnreadDataIsRefused) {
    Store mdl;
    for (int code : {11, 12, 21, 22, 6, 8, 9, 511, 512, 521, 522}) {
        auto core = makeSectionCore(code);
        EXPECT_THROW(describeModel(mdl, *core), VeltaError) << code;
    }
}

TEST(ModelExport, ExactTextReadsBackAsTheSameNumber) {
    for (double v : {0.1, 1.0 / 3, 1e-5, 12345678.9, 2.0, -0.25, 5e-324, 1.7976931348623157e308}) {
        const std::string s = exactText(v);
        EXPECT_EQ(std::strtod(s.c_str(), nullptr), v) << s;
        EXPECT_EQ(s.find(','), std::string::npos);
    }
    EXPECT_EQ(exactText(3), "3");
    EXPECT_EQ(exactText(-0.0), "0");
    EXPECT_THROW(exactText(std::nan("")), VeltaError);
}

}  // namespace
}  // namespace velta::test
