// velta-run: drives one section through the same commands the menus run, without a window.
//   select section -> pick task folder -> open the data file -> "Ввод" -> "&Ввод исходных данных"
//   -> "С&чёт [и графика]" --runs times; the canvas can be saved as PNG.
#include "app/prompter.h"
#include "app/shell.h"
#include "data/catalogue.h"
#include "data/paths.h"
#include "data/store.h"
#include "graphics/cpustate.h"
#include "graphics/qt/qimagesurface.h"

#include <QGuiApplication>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include <unistd.h>

namespace fs = std::filesystem;
using namespace velta;

namespace {

const char* kUsage =
    "usage: velta-run --root DIR --section CODE [--data FILE] [--task TauN] [--runs N]\n"
    "                 [--answer TEXT]... [--png FILE] [--seed N] [--ndim N --assign LIST] [--spectr ALFA]\n";

// Answers the questions of a run from the --answer list; messages go to stderr.
class RunnerPrompter : public Prompter {
public:
    explicit RunnerPrompter(std::deque<std::string> answers) : answers_(std::move(answers)) {}
    void message(const std::string& text, MsgIcon, const std::string&) override {
        std::cerr << "message: " << text << std::endl;
    }
    std::string inputBox(const std::string& prompt, const std::string& title, const std::string&, int,
                         int) override {
        std::string a = next();
        std::cerr << "input: " << trimmed(title) << ": " << firstLine(prompt) << " -> \"" << a << "\"" << std::endl;
        return a;
    }
    bool askYesNo(const std::string& text, const std::string&) override {
        std::string a = next();
        const bool yes = a == "YES" || a == "Yes" || a == "yes" || a == "Да" || a == "да" || a == "1";
        std::cerr << "question: " << firstLine(text) << " -> " << (yes ? "yes" : "no") << std::endl;
        return yes;
    }
    void note(const std::string& text) override { std::cerr << "note: " << text << std::endl; }

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
};

struct Options {
    std::string root, data, task, png;
    int section = 0;
    int runs = 1;
    long long seed = -1;  // -1: the random starts are seeded from the clock
    std::string spectr;   // ALFA of "&Спектр" (section 3), run after the computations
    std::string ndim, assign;  // section 4: the number of equations and the U-numbers
    std::deque<std::string> answers;
};

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

} // namespace

int main(int argc, char** argv) {
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
            if (!value(v) || !parseInt(v, o.runs) || o.runs < 1) return usage("--runs needs a number >= 1");
        } else if (a == "--answer") {
            if (!value(v)) return usage("--answer needs a text");
            o.answers.push_back(v);
        } else if (a == "--png") {
            if (!value(o.png)) return usage("--png needs a file");
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
        } else {
            return usage("unknown option " + a);
        }
    }
    if (o.section == 0) return usage("--section is required");
    const SectionInfo* info = findSection(o.section);
    if (!info) return usage("unknown section code " + std::to_string(o.section));

    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    if (!std::getenv("XDG_RUNTIME_DIR")) {
        // Qt wants a private runtime folder; a run as root without a session has none.
        const std::string dir = "/tmp/velta-runtime-" + std::to_string(getuid());
        std::error_code ec;
        fs::create_directories(dir, ec);
        fs::permissions(dir, fs::perms::owner_all, fs::perm_options::replace, ec);
        setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
    }
    int qargc = 1;
    char* qargv[] = {argv[0], nullptr};
    QGuiApplication app(qargc, qargv);
    clearAvxUpperState();

    if (o.root.empty()) o.root = findAppRoot(argv[0]);
    o.root = fs::absolute(o.root).lexically_normal().string();
    AppPaths paths(o.root);
    if (!dirExists(paths.user())) return usage("no User folder in " + o.root);

    QImageSurface surface;
    // Section 4 asks NDIM first and the U-numbers at the computation: they answer first.
    if (!o.assign.empty()) o.answers.push_front(o.assign);
    if (!o.ndim.empty()) o.answers.push_front(o.ndim);
    // "&Спектр" asks its ALFA after every other question of the run.
    if (!o.spectr.empty()) o.answers.push_back(o.spectr);
    RunnerPrompter prompter(o.answers);
    Ctx ctx{surface, prompter, paths};
    Shell shell(paths);
    mdlGlobal.SEED = o.seed;

    // Select the section and, for the delay sections, the task folder.
    shell.Sect_Select(o.section);
    SectionCore* core = shell.current();
    if (!core) {
        std::cerr << "message: " << Shell::notBuiltMessage(*info) << std::endl;
        return 2;
    }
    if (info->group == 'D') {
        const std::string task = o.task.empty() ? std::string("Tau0") : o.task;
        if (std::find(shell.taskItems.begin(), shell.taskItems.end(), task) == shell.taskItems.end())
            return usage("no task folder " + task + " under User/" + info->subdir);
        shell.Combo1_Click(task);
    }

    // "&Выбрать файл и открыть таблицы": the data file and its reading. Section 4 has no
    // data file: "&Ввод исходных данных" asks its NDIM (the first answer).
    if (info->group != 'B') {
        const std::string folder = shell.dataFolder();
        std::string dataPath;
        if (o.data.empty()) {
            dataPath = firstDataFile(folder, info->dataExt);
            if (dataPath.empty()) return usage("no " + info->dataExt + " file in " + folder);
        } else if (fs::path(o.data).is_absolute() || fileExists(o.data)) {
            dataPath = o.data;
        } else {
            dataPath = AppPaths(folder).resolve(o.data);
            if (!fileExists(dataPath)) dataPath = paths.resolve(o.data);
        }
        if (!fileExists(dataPath)) {
            std::cerr << "message: Файл данных не найден: " << o.data << std::endl;
            return 1;
        }
        core->dataPath = fs::absolute(dataPath).string();
        core->shownName = stripPrefix(core->dataPath, folder + "/");
        try {
            core->InputPar(ctx);
        } catch (const std::exception& e) {
            std::cerr << "message: " << e.what() << std::endl;
            return 1;
        }
        // "Ввод" without edits: the file on disk stays current.
        shell.afterAccept(core->shownName);
    }

    int rc = 0;
    if (!shell.mnuInput(ctx)) {
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
    if (rc == 0) std::cout << "results: " << shell.resultsPath() << "\n";
    if (!o.png.empty()) {
        if (surface.savePng(o.png)) {
            std::cout << "png: " << fs::absolute(o.png).string() << "\n";
        } else {
            std::cerr << "velta-run: cannot write " << o.png << std::endl;
            if (rc == 0) rc = 1;
        }
    }
    return rc;
}
