#include "fuzz/readers.h"

#include "app/shell.h"
#include "data/numtext.h"
#include "data/paths.h"
#include "data/store.h"
#include "data/textfile.h"
#include "graphics/picture3d.h"
#include "models/section.h"
#include "stationary/section4/sec4.h"
#include "support/recording_surface.h"
#include "support/scripted_prompter.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include <unistd.h>

namespace velta::fuzz {

namespace fs = std::filesystem;

namespace {

// One application folder per process, in memory when /dev/shm exists; removed at exit.
const AppPaths& appFolder() {
    static const std::string root = [] {
        const fs::path base = fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
        const fs::path r = base / ("velta-fuzz-" + std::to_string(::getpid()));
        fs::create_directories(r / "User");
        static const fs::path made = r;
        std::atexit([] {
            std::error_code ec;
            fs::remove_all(made, ec);
        });
        return r.string();
    }();
    static const AppPaths paths(root);
    return paths;
}

// The section's reader of its data file, as "&Ввод исходных данных" runs it after the
// section was selected (task folder Tau0 for the delay sections).
void readSection(int code, const std::uint8_t* data, std::size_t size) {
    const AppPaths& paths = appFolder();
    Store mdl;
    Shell shell(mdl, paths);
    shell.Sect_Select(code);
    if (shell.info->group == 'D') shell.Combo1_Click("Tau0");
    const std::string folder = shell.dataFolder();
    static std::string made;
    if (made != folder) {
        fs::create_directories(folder);
        made = folder;
    }
    const std::string path = folder + "/fuzz" + shell.info->dataExt;
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    auto core = makeSectionCore(code);
    if (!core) return;
    core->dataPath = path;
    test::RecordingSurface surf;
    test::ScriptedPrompter ui;
    Ctx c{surf, ui, paths, mdl};
    try {
        core->InputPar(c);
    } catch (const std::exception&) {
        // a refused file: the expected outcome of most inputs
    }
}

// Section 4 has no data file: the answer to "Задайте число уравнений NDIM" on the first
// line, the list of U-numbers on the second.
void readSection4(const std::uint8_t* data, std::size_t size) {
    Store mdl;
    const std::string text(reinterpret_cast<const char*>(data), size);
    const auto nl = text.find('\n');
    const std::string ndim = text.substr(0, nl);
    const std::string list = nl == std::string::npos ? std::string() : text.substr(nl + 1);
    Sec4 sec;
    test::RecordingSurface surf;
    test::ScriptedPrompter ui;
    Ctx c{surf, ui, appFolder(), mdl};
    try {
        mdl.NDIM = textToI16(ndim);
        sec.Input1(c);
        sec.cmdOK_Tabl(mdl, Sec4::numbersFromTexts(Sec4::splitList(list)));
    } catch (const std::exception&) {}
}

void readAngleFile(const std::uint8_t* data, std::size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    std::ostringstream chk;
    TextReader reader(in, "Ugly.ugl");
    TextWriter writer(chk);
    View3D v;
    try {
        readAngles(v, reader, writer);
    } catch (const std::exception&) {}
}

// The results tables of the 3D picture. The first four bytes choose the state a computation
// leaves behind: the results extension, NDIM (1..16), NROW (0..63) and the plotted
// components IC(1..3) (1..4 each, so some lie beyond NDIM); the rest is the results file.
void readTable(bool puan, const std::uint8_t* data, std::size_t size) {
    static const char* exts[] = {"mnk", "gse", "mtr", "sy1", "cha", "sy2", "mtz"};
    if (size < 4) return;
    Store s;
    s.RESEXT = exts[data[0] % 7];
    s.NDIM = static_cast<i16>(data[1] % 16 + 1);
    s.NROW = data[2] % 64;
    for (int k = 0; k < 3; ++k) s.IC(k + 1) = static_cast<i16>(((data[3] >> (2 * k)) & 3) + 1);
    s.XP.alloc(s.NDIM);
    s.FP.alloc(s.NDIM);
    s.FP.fill(1.0);
    s.SCRX = 2;
    std::istringstream in(std::string(reinterpret_cast<const char*>(data + 4), size - 4));
    std::ostringstream chk;
    TextReader reader(in, "Results." + s.RESEXT);
    TextWriter writer(chk);
    View3D v;
    try {
        if (puan) readPuan(s, v, reader, writer);
        else readPhase(s, v, reader, writer);
    } catch (const std::exception&) {}
}

template <int Code>
void section(const std::uint8_t* d, std::size_t n) {
    readSection(Code, d, n);
}

}  // namespace

const std::vector<Target>& targets() {
    static const std::vector<Target> all = {
        {"sec11", section<11>},
        {"sec12", section<12>},
        {"sec21", section<21>},
        {"sec213", section<213>},
        {"sec215", section<215>},
        {"sec217", section<217>},
        {"sec22", section<22>},
        {"sec3", section<3>},
        {"sec4", readSection4},
        {"sec511", section<511>},
        {"sec512", section<512>},
        {"sec521", section<521>},
        {"sec522", section<522>},
        {"sec6", section<6>},
        {"sec7", section<7>},
        {"sec8", section<8>},
        {"sec9", section<9>},
        {"angles", readAngleFile},
        {"phase", [](const std::uint8_t* d, std::size_t n) { readTable(false, d, n); }},
        {"puan", [](const std::uint8_t* d, std::size_t n) { readTable(true, d, n); }},
    };
    return all;
}

const Target* findTarget(const std::string& name) {
    for (const auto& t : targets())
        if (t.name == name) return &t;
    return nullptr;
}

}  // namespace velta::fuzz
