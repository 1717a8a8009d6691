// Shared pieces of the delay-section tests: the text of a data file of numbered blocks and a
// fixture with a fresh application folder, a recording surface, a scripted prompter and the core.
#pragma once
#include "app/shell.h"
#include "data/numtext.h"
#include "data/paths.h"
#include "data/store.h"
#include "data/textfile.h"
#include "graphics/canvas.h"
#include "support/files.h"
#include "support/recording_surface.h"
#include "support/scripted_prompter.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace velta::test {

// Lines of a data file made of blocks, each opened by "k) Блок k" and a rule.
struct BlockLines {
    std::vector<std::string> L;

    void block(int k, std::initializer_list<std::string> lines = {}) {
        L.push_back(std::to_string(k) + ") Блок " + std::to_string(k));
        L.push_back("-------");
        L.insert(L.end(), lines);
    }
    // The file bytes: Windows-1251, CR LF.
    std::string text() const {
        std::string s;
        for (const auto& l : L) s += utf8ToCp1251(l) + "\r\n";
        return s;
    }
};

// A delay section's core run in a fresh application folder. folder is the user subfolder of
// the section ("Mtr"), ext the extension of its data files, results its results file and
// legendRow the row its legend is printed at.
template <class Core>
class DelayFixture : public ::testing::Test {
protected:
    DelayFixture(std::string folder, std::string ext, std::string results, int legendRow)
        : folder_(std::move(folder)),
          ext_(std::move(ext)),
          results_(std::move(results)),
          legendRow_(legendRow) {}

    void SetUp() override {
        mdl.reset();  // SetUp() runs again between the cases of a test
        setColours(mdl, true);
        mdl.TASKDIR = "Tau0";
        mdl.SUBDIR = folder_ + "\\";
        abandoned_ = TextWriter::abandoned();
    }
    void TearDown() override {
        EXPECT_EQ(TextWriter::abandoned(), abandoned_) << "a file writer was left without close()";
    }
    // Writes the file into the task folder and reads it.
    template <class File>
    void load(const File& f, const std::string& name) {
        const std::string rel = "User/" + folder_ + "/Tau0/" + name;
        app.write(rel, f.text());
        core.dataPath = app.path(rel);
        core.InputPar(c);
    }
    template <class File>
    void load(const File& f) {
        load(f, "t." + ext_);
    }
    void run() {
        core.Integr1(c);
        L_Print(c, legendRow_);
    }
    std::vector<std::string> results() const { return readAllLines(paths.userFile(results_)); }
    // The table rows: the lines that begin with a digit.
    std::vector<std::string> rows() const {
        std::vector<std::string> r;
        for (const auto& l : results())
            if (!l.empty() && std::isdigit(static_cast<unsigned char>(l[0]))) r.push_back(l);
        return r;
    }

private:
    std::string folder_, ext_, results_;
    int legendRow_;
    long abandoned_ = 0;

protected:
    TempApp app;
    AppPaths paths{app.root()};
    RecordingSurface surf;
    ScriptedPrompter ui;
    Store mdl;  // this test's own parameters
    Ctx c{surf, ui, paths, mdl};
    Core core;
};

}  // namespace velta::test
