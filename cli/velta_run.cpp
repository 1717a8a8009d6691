// velta-run: drives one section through the same commands the menus run, without a window.
//   select section -> pick task folder -> open the data file -> "Ввод" -> "&Ввод исходных данных"
//   -> "С&чёт [и графика]" --runs times; the canvas can be saved as PNG.
// Pictures and SBML come from a module loaded only when asked for (cli/figures).
#include "app/prompter.h"
#include "app/runsummary.h"
#include "app/shell.h"
#include "cli/figures/runfigures.h"
#include "cli/runner.h"
#include "cli/startup.h"
#include "data/catalogue.h"
#include "data/dataoverride.h"
#include "data/paths.h"
#include "data/store.h"
#include "graphics/surface.h"
#include "models/export/modeldesc.h"
#include "models/export/resultsink.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <unistd.h>

namespace fs = std::filesystem;
using namespace velta;

namespace {

const char* kUsage =
    "usage: velta-run --root DIR --section CODE [--data FILE] [--task TauN] [--runs N]\n"
    "                 [--answer TEXT]... [--png FILE] [--seed N] [--ndim N --assign LIST] [--spectr ALFA]\n"
    "                 [--svg FILE] [--pdf FILE] [--csv FILE] [--export-sbml FILE] [--export-ode FILE]\n"
    "                 [--set KEY=VALUE]... [--summary FILE]\n";

// Answers the questions of a run from the --answer list; messages go to stderr.
class RunnerPrompter : public Prompter {
public:
    explicit RunnerPrompter(std::deque<std::string> answers) : answers_(std::move(answers)) {}
    void message(const std::string& text, MsgIcon, const std::string&) override {
        std::cerr << "message: " << text << std::endl;
    }
    std::string inputBox(const std::string& prompt, const std::string& title, const std::string&, int,
                         int) override {
        if (answers_.empty() && unanswered_.empty()) unanswered_ = firstLine(prompt);
        cancelled_ = answers_.empty();  // the list used up answers Cancel
        std::string a = next();
        std::cerr << "input: " << trimmed(title) << ": " << firstLine(prompt) << " -> \"" << a << "\""
                  << std::endl;
        return a;
    }
    bool askYesNo(const std::string& text, const std::string&) override {
        std::string a = next();
        const bool yes = a == "YES" || a == "Yes" || a == "yes" || a == "Да" || a == "да" || a == "1";
        std::cerr << "question: " << firstLine(text) << " -> " << (yes ? "yes" : "no") << std::endl;
        return yes;
    }
    void note(const std::string& text) override { std::cerr << "note: " << text << std::endl; }
    bool emptyAnswerWasCancel() const override { return cancelled_; }
    // The first input box asked after the --answer list ran out ("" when none was).
    const std::string& unanswered() const { return unanswered_; }

private:
    std::string next() {
        if (answers_.empty()) return {};
        std::string a = answers_.front();
        answers_.pop_front();
        return a;
    }
    static std::string firstLine(const std::string& s) { return s.substr(0, s.find('\n')); }
    static std::string trimmed(const std::string& s) {
        const auto b = s.find_first_not_of(' ');
        return b == std::string::npos ? std::string() : s.substr(b);
    }
    std::deque<std::string> answers_;
    bool cancelled_ = false;
    std::string unanswered_;
};

// The painting of a run that saves a picture: the application object of the module and the
// canvas, ended in the right order (the canvas first) when the run ends.
class Painting {
public:
    Painting(const RunFigures* f, const char* argv0) : f_(f) {
        if (f_) f_->startPainting(argv0);
    }
    ~Painting() {
        if (!f_) return;
        if (surface_) f_->deleteSurface(surface_);
        f_->stopPainting();
    }
    Painting(const Painting&) = delete;
    Painting& operator=(const Painting&) = delete;
    Surface* surface(bool vector) { return surface_ = f_->newSurface(vector); }

private:
    const RunFigures* f_;
    Surface* surface_ = nullptr;
};

// More runs than this are a typing slip, not a study.
constexpr int kMaxRuns = 1000;

struct Options {
    std::string root, data, task, png;
    int section = 0;
    int runs = 1;
    long long seed = -1;       // -1: the random starts are seeded from the clock
    std::string spectr;        // ALFA of "&Спектр" (section 3), run after the computations
    std::string ndim, assign;  // section 4: the number of equations and the U-numbers
    std::deque<std::string> answers;
    std::string svg, pdf, csv;      // the canvas as a vector figure; the results table of the last run
    std::string sbml, ode;          // the model as SBML and as an XPPAUT file
    std::vector<std::string> sets;  // --set KEY=VALUE, applied to the data file as it is read
    std::string summary;            // --summary FILE: the run as one JSON object
};

// The summary of the run (--summary), filled as the run goes and written when it ends.
std::optional<RunSummary> gSummaryOf{std::in_place};
RunSummary& summary() { return *gSummaryOf; }
std::string gSummaryPath;
std::string gRoot;

int usage(const std::string& why) {
    std::cerr << "velta-run: " << why << "\n" << kUsage;
    return 2;
}

bool parseInt(const std::string& s, int& out) {
    char* end = nullptr;
    const long v = std::strtol(s.c_str(), &end, 10);
    if (s.empty() || *end != '\0' || v < -2147483647L || v > 2147483647L) return false;
    out = static_cast<int>(v);
    return true;
}

// Empty when the run may write an output file (--png and the like) at `path`; otherwise why
// not: an output never replaces the data file, a results or check file of the package, or a
// file under User that runs read (data files of any section, angle files, Z_Bank texts).
std::string checkOutputPath(const std::string& path, const AppPaths& paths, const std::string& dataPath) {
    std::error_code ec;
    auto canonical = [&](const std::string& p) {
        fs::path c = fs::weakly_canonical(fs::absolute(p), ec);
        return lowerUtf8((ec ? fs::absolute(p).lexically_normal() : c).string());
    };
    if (fs::is_directory(path, ec)) return path + " is a folder";
    const std::string out = canonical(path);
    if (!dataPath.empty() && out == canonical(dataPath)) return path + " is the data file of the run";
    const std::string user = canonical(paths.user()) + "/";
    if (out.rfind(user, 0) != 0) return {};
    const fs::path rel = out.substr(user.size());
    for (const auto& r : Shell::deleteList())
        if (rel == fs::path(lowerUtf8(r))) return path + " is a results or check file of the package";
    if (rel.begin() != rel.end() && *rel.begin() == "z_bank")
        return path + " lies in the Z_Bank folder of the package";
    const std::string ext = rel.extension().string();
    if (ext == ".ugl") return path + " is an angle file of the package";
    for (const auto& s : catalogue())
        if (!s.dataExt.empty() && ext == lowerUtf8(s.dataExt)) return path + " is a data file of the package";
    return {};
}

// The first data file of the section in its folder, by name.
std::string firstDataFile(const std::string& folder, const std::string& ext) {
    std::vector<std::string> found;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (it->is_regular_file() && name.size() > ext.size() &&
            lowerUtf8(name.substr(name.size() - ext.size())) == lowerUtf8(ext))
            found.push_back(it->path().string());
    }
    std::sort(found.begin(), found.end());
    return found.empty() ? std::string() : found.front();
}

}  // namespace

int runMain(int argc, char** argv) {
    // A file size limit (ulimit -f) makes a write fail with EFBIG, reported with the file's name.
    std::signal(SIGXFSZ, SIG_IGN);
    Options o;
    std::vector<std::string> args(argv + 1, argv + argc);
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= args.size()) return false;
            out = args[++i];
            return true;
        };
        std::string v;
        if (a == "--help" || a == "-h") {
            std::cout << kUsage;
            return 0;
        } else if (a == "--root") {
            if (!value(o.root)) return usage("--root needs a folder");
        } else if (a == "--section") {
            if (!value(v) || !parseInt(v, o.section)) return usage("--section needs a section code");
        } else if (a == "--data") {
            if (!value(o.data)) return usage("--data needs a file");
        } else if (a == "--task") {
            if (!value(o.task)) return usage("--task needs a folder name such as Tau0");
        } else if (a == "--runs") {
            if (!value(v) || !parseInt(v, o.runs) || o.runs < 1 || o.runs > kMaxRuns)
                return usage("--runs needs a number from 1 to " + std::to_string(kMaxRuns));
        } else if (a == "--answer") {
            if (!value(v)) return usage("--answer needs a text");
            o.answers.push_back(v);
        } else if (a == "--png") {
            if (!value(o.png)) return usage("--png needs a file");
        } else if (a == "--svg" || a == "--pdf" || a == "--csv" || a == "--export-sbml" ||
                   a == "--export-ode") {
            std::string& out = a == "--svg"           ? o.svg
                               : a == "--pdf"         ? o.pdf
                               : a == "--csv"         ? o.csv
                               : a == "--export-sbml" ? o.sbml
                                                      : o.ode;
            if (!value(out) || out.empty()) return usage(a + " needs a file");
        } else if (a == "--seed") {
            char* end = nullptr;
            if (!value(v)) return usage("--seed needs a number");
            o.seed = std::strtoll(v.c_str(), &end, 10);
            if (v.empty() || *end != '\0' || o.seed < 0) return usage("--seed needs a number >= 0");
        } else if (a == "--spectr") {
            if (!value(o.spectr)) return usage("--spectr needs a value of ALFA");
        } else if (a == "--ndim") {
            if (!value(o.ndim)) return usage("--ndim needs a number");
        } else if (a == "--assign") {
            if (!value(o.assign)) return usage("--assign needs a list such as 1,2,1,2");
        } else if (a == "--set") {
            if (!value(v)) return usage("--set needs KEY=VALUE");
            o.sets.push_back(v);
        } else if (a == "--summary") {
            if (!value(o.summary) || o.summary.empty()) return usage("--summary needs a file");
            gSummaryPath = o.summary;
        } else {
            return usage("unknown option " + a);
        }
    }
    summary().section = o.section;
    if (o.section == 0) return usage("--section is required");
    const SectionInfo* info = findSection(o.section);
    if (!info) return usage("unknown section code " + std::to_string(o.section));
    if (!info->hasDataFile() && o.ndim.empty() && o.answers.empty())
        return usage("--section " + std::to_string(o.section) +
                     " needs --ndim N and --assign LIST (the number of equations and the U-numbers)");

    // The canvas is drawn only when a picture of it is saved: otherwise the module of the
    // pictures (Qt, fonts) is not loaded, and the run draws on a surface that keeps nothing.
    // A vector figure needs the record of every primitive; a PNG alone the image.
    const bool vectorFigure = !o.svg.empty() || !o.pdf.empty();
    const bool picture = vectorFigure || !o.png.empty();

    // Without --root: the folder of this program (build tree or installed package).
    std::string why;
    o.root = appFolder(o.root, argv[0], why);
    if (o.root.empty()) {
        std::cerr << "message: " << why << std::endl;
        return 1;
    }
    AppPaths paths(o.root);
    gRoot = o.root;
    if (!dirExists(paths.user())) return usage("no User folder in " + o.root);
    const RunFigures* figures = nullptr;
    if (picture || !o.sbml.empty()) {
        figures = loadRunFigures(programFile(argv[0]), why);
        if (!figures) {
            std::cerr << "message: " << why << std::endl;
            return 1;
        }
    }
    Painting painting(picture ? figures : nullptr, argv[0]);

    NullSurface noPicture;
    Surface* image = picture ? painting.surface(vectorFigure) : nullptr;
    Surface& surface = image ? *image : noPicture;
    // Section 4 asks NDIM first and the U-numbers at the computation: they answer first.
    if (!o.assign.empty()) o.answers.push_front(o.assign);
    if (!o.ndim.empty()) o.answers.push_front(o.ndim);
    // "&Спектр" asks its ALFA after every other question of the run.
    if (!o.spectr.empty()) o.answers.push_back(o.spectr);
    RunnerPrompter prompter(o.answers);
    Ctx ctx{surface, prompter, paths, mdlGlobal};
    Shell shell(mdlGlobal, paths);
    mdlGlobal.SEED = o.seed;

    // Output files are checked before anything is read in, computed or written; every output
    // option of the runner is listed here. Returns the refusal (printed as a usage error).
    auto outputsRefused = [&](const std::string& dataPath) -> std::string {
        const std::vector<std::pair<std::string, std::string>> outputs = {
            {"--png", o.png},          {"--svg", o.svg},        {"--pdf", o.pdf},        {"--csv", o.csv},
            {"--export-sbml", o.sbml}, {"--export-ode", o.ode}, {"--summary", o.summary}};
        for (const auto& [option, path] : outputs) {
            if (path.empty()) continue;
            const std::string why = checkOutputPath(path, paths, dataPath);
            if (!why.empty()) {
                usage(option + " refused: " + why);
                return why;
            }
        }
        return {};
    };

    // Select the section and, for the delay sections, the task folder.
    const std::string noTask = selectSection(shell, *info, o.task);
    SectionCore* core = shell.current();
    if (!core) {
        std::cerr << "message: " << Shell::notBuiltMessage(*info) << std::endl;
        return 2;
    }
    if (!noTask.empty()) return usage(noTask);

    // "&Выбрать файл и открыть таблицы": the data file and its reading. Section 4 has no
    // data file: "&Ввод исходных данных" asks its NDIM (the first answer).
    if (info->group != 'B') {
        const std::string folder = shell.dataFolder();
        std::string dataPath;
        if (o.data.empty()) {
            dataPath = firstDataFile(folder, info->dataExt);
            if (dataPath.empty()) return usage("no " + info->dataExt + " file in " + folder);
        } else {
            dataPath = findDataFile(o.data, folder, paths);
        }
        if (!fileExists(dataPath)) {
            std::cerr << "message: Файл данных не найден: " << o.data << std::endl;
            return 1;
        }
        dataPath = fs::absolute(dataPath).string();
        if (!outputsRefused(dataPath).empty()) return 2;
        summary().dataPath = dataPath;
        // --set: the values go into the text the reader parses; the file stays as it is.
        if (const std::string why = useOverrides(dataPath, o.sets); !why.empty()) return usage(why);
        try {
            summary().parameters = dataParameters(dataFileText(dataPath));
        } catch (const std::exception&) {}
        if (const std::string why = shell.openChosenFile(*core, dataPath, ctx); !why.empty()) {
            std::cerr << "message: " << why << std::endl;
            return 1;
        }
        // "Ввод" without edits: the file on disk stays current.
        shell.afterAccept(core->shownName);
    }

    if (info->group == 'B' && !outputsRefused(std::string()).empty()) return 2;
    if (info->group == 'B' && !o.sets.empty()) return usage("--set needs a data file; this section has none");

    // The rows of the results table in full precision, for --csv.
    ResultsTable table;
    ScopedResultsSink tableSink(o.csv.empty() ? nullptr : &table);
    // The rows for --summary, passed on to the --csv table.
    summary().forwardTo(resultsSink());
    ScopedResultsSink summarySink(gSummaryPath.empty() ? resultsSink() : &summary());
    // The model as the run starts it: exported after the reading, before any computation.
    auto exportModel = [&]() -> bool {
        if (o.sbml.empty() && o.ode.empty()) return true;
        if (!hasModelExport(o.section)) {
            std::cerr << "message: " << noModelMessage(o.section) << std::endl;
            return false;
        }
        try {
            const ModelDesc m = describeModel(mdlGlobal, *core);
            if (!o.sbml.empty()) {
                if (const std::string why = figures->writeSbml(m, o.sbml); !why.empty()) {
                    std::cerr << "message: " << why << std::endl;
                    return false;
                }
                std::cout << "sbml: " << fs::absolute(o.sbml).string() << "\n";
            }
            if (!o.ode.empty()) {
                writeXpp(m, o.ode);
                std::cout << "ode: " << fs::absolute(o.ode).string() << "\n";
            }
        } catch (const std::exception& e) {
            std::cerr << "message: " << e.what() << std::endl;
            return false;
        }
        return true;
    };

    int rc = 0;
    if (!shell.mnuInput(ctx) || !exportModel()) {
        rc = 1;
    } else {
        for (int r = 0; r < o.runs; ++r) {
            if (!shell.mnuIntegr(ctx)) {
                rc = 1;
                break;
            }
        }
    }
    if (rc == 0 && !o.spectr.empty() && core->hasSpectr()) {
        if (shell.mnuSpectr(ctx)) std::cout << "spectr: " << shell.spectrPath() << "\n";
        else rc = 1;
    }
    if (info->group != 'B') {
        std::cout << "data: " << core->dataPath << "\n";
        std::cout << "check: " << paths.userFile("Input.chk") << "\n";
    }
    if (rc != 0 && !prompter.unanswered().empty())
        std::cerr << "velta-run: no answer was given to \"" << prompter.unanswered()
                  << "\": give it with --answer" << std::endl;
    if (rc == 0) std::cout << "results: " << shell.resultsPath() << "\n";
    for (const auto& [name, path] :
         {std::pair<const char*, std::string>{"png", o.png}, {"svg", o.svg}, {"pdf", o.pdf}}) {
        if (path.empty()) continue;
        const std::string n = name;
        const std::string why = n == "png"   ? figures->savePng(*image, path)
                                : n == "svg" ? figures->saveSvg(*image, path)
                                             : figures->savePdf(*image, path);
        if (why.empty()) {
            std::cout << name << ": " << fs::absolute(path).string() << "\n";
        } else {
            std::cerr << "velta-run: " << why << std::endl;
            if (rc == 0) rc = 1;
        }
    }
    if (!o.csv.empty()) {
        try {
            table.writeCsv(o.csv);
            std::cout << "csv: " << fs::absolute(o.csv).string() << "\n";
        } catch (const std::exception& e) {
            std::cerr << "velta-run: " << e.what() << std::endl;
            if (rc == 0) rc = 1;
        }
    }
    return rc;
}

namespace {

// Passes stderr through and keeps the messages of the run ("message: …" with the lines that
// continue it, and the runner's own "velta-run: …") for the summary.
class MessageTap : public std::streambuf {
public:
    explicit MessageTap(std::streambuf* out) : out_(out) {}
    void finish() { endLine(); }

protected:
    int overflow(int ch) override {
        if (ch == EOF) return out_->pubsync() == 0 ? 0 : EOF;
        if (ch == '\n') endLine();
        else line_ += static_cast<char>(ch);
        return out_->sputc(static_cast<char>(ch));
    }
    int sync() override { return out_->pubsync(); }

private:
    void endLine() {
        static const std::vector<std::string> others = {"input: ", "question: ", "note: ", "usage: ", "   "};
        if (line_.rfind("message: ", 0) == 0) {
            summary().messages.push_back(line_.substr(9));
            inMessage_ = true;
        } else if (line_.rfind("velta-run: ", 0) == 0) {
            summary().messages.push_back(line_.substr(11));
            inMessage_ = false;
        } else if (inMessage_ && !line_.empty() &&
                   std::none_of(others.begin(), others.end(),
                                [&](const std::string& p) { return line_.rfind(p, 0) == 0; })) {
            summary().messages.back() += "\n" + line_;
        } else {
            inMessage_ = false;
        }
        line_.clear();
    }
    std::streambuf* out_;
    std::string line_;
    bool inMessage_ = false;
};

}  // namespace

int velta::runnerMain(int argc, char** argv, std::string* summaryOut) {
    MessageTap tap(std::cerr.rdbuf());
    std::streambuf* old = std::cerr.rdbuf(&tap);
    int rc = runMain(argc, argv);
    tap.finish();
    std::cerr.rdbuf(old);
    // Written for every run that got as far as its application folder, failed ones included;
    // never over a file the output check refuses.
    if (!gSummaryPath.empty() && !gRoot.empty() &&
        checkOutputPath(gSummaryPath, AppPaths(gRoot), summary().dataPath).empty()) {
        if (summaryOut) {
            *summaryOut = summary().json(mdlGlobal, rc, AppPaths(gRoot)) + "\n";
            return rc;
        }
        std::ofstream f(gSummaryPath, std::ios::binary | std::ios::trunc);
        f << summary().json(mdlGlobal, rc, AppPaths(gRoot)) << "\n";
        f.close();
        if (!f) {
            std::cerr << "velta-run: cannot write " << gSummaryPath << std::endl;
            if (rc == 0) rc = 1;
        } else {
            std::cout << "summary: " << fs::absolute(gSummaryPath).string() << "\n";
        }
    }
    return rc;
}

void velta::resetRunnerState() {
    mdlGlobal.reset();
    clearDataOverrides();
    gSummaryOf.emplace();
    gSummaryPath.clear();
    gRoot.clear();
}
