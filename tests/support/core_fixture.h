// Shared pieces of the tests of a section's core: the raw bytes of a file and a fixture with a
// fresh application folder and store, a recording surface, a scripted prompter and the core as `sec`.
//
//   class Sec8Test : public test::CoreFixture<Sec8> {
//   protected:
//       Sec8Test() : CoreFixture("gsed", "Results.gse") {}
//   };
#pragma once
#include "data/context.h"
#include "data/error.h"
#include "data/paths.h"
#include "data/store.h"
#include "data/textfile.h"
#include "graphics/canvas.h"
#include "support/files.h"
#include "support/recording_surface.h"
#include "support/scripted_prompter.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace velta::test {

// A section core run in a fresh application folder. ext is the extension of its data files
// and results the name of its results file in User.
template <class Core>
class CoreFixture : public ::testing::Test {
protected:
    CoreFixture(std::string ext, std::string results) : ext_(std::move(ext)), results_(std::move(results)) {}

    void SetUp() override {
        setColours(mdl, true);
        abandoned_ = TextWriter::abandoned();
    }
    void TearDown() override {
        EXPECT_EQ(TextWriter::abandoned(), abandoned_) << "a file writer was left without close()";
    }

    // Writes the file as User/t.<ext> and reads it.
    template <class File>
    void load(const File& m) {
        const std::string rel = "User/t." + ext_;
        app.write(rel, m.text());
        sec.dataPath = app.path(rel);
        sec.InputPar(c);
    }
    std::vector<std::string> results() const { return readAllLines(app.path("User/" + results_)); }
    // The message of the VeltaError f throws, empty when it throws none.
    std::string errorOf(const std::function<void()>& f) {
        try {
            f();
        } catch (const VeltaError& e) {
            return e.what();
        }
        return "";
    }
    // X1(1..NDIM).
    std::vector<double> state() const {
        std::vector<double> v;
        for (int i = 1; i <= mdl.NDIM; ++i) v.push_back(mdl.X1(i));
        return v;
    }

private:
    std::string ext_, results_;
    long abandoned_ = 0;

protected:
    TempApp app;
    AppPaths paths{app.root()};
    RecordingSurface surf;
    ScriptedPrompter ui;
    Store mdl;  // this test's own parameters
    Ctx c{surf, ui, paths, mdl};
    Core sec;
};

}  // namespace velta::test
