// velta-helpgen: fills the generated parts of the help pages.
//
//   velta-helpgen --src DIR --user DIR --params FILE --out DIR
//
// Every section page sec_<code>.htm of DIR holds two marks that are replaced here:
//   <!--VELTA:PARAMS-->  the table of the section's data file: its sample file is read by the
//                        section's own reader (the same InputPar the menus run), the blocks are
//                        found through the header lines that reader stored, and every key,
//                        list and matrix of every block gets a row with its value in the sample
//                        and its meaning, unit and range from the parameter descriptions;
//   <!--VELTA:ZBANK-->   the section's model formulation and data bank, the texts the
//                        "&Задачи" menu shows, quoted as they stand in User\Z_Bank.
// A key of a sample without a description, or a description no sample key uses, stops the
// run, so the tables always list exactly the keys of the data files.
// The examples document User\VELTA_D.doc (RTF) becomes examples.htm and ex_<code>.htm.
// The other pages, the contents and the index of DIR are copied unchanged, except that
// characters Windows-1251 lacks become numeric character references.
#include "app/prompter.h"
#include "data/error.h"
#include "data/paths.h"
#include "data/store.h"
#include "data/textfile.h"
#include "graphics/surface.h"
#include "models/section.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace velta;

namespace {

struct SectionDoc {
    int code;
    const char* sample;  // relative to User, "" for a section without a data file
    const char* folder;  // Z_Bank name of the section
};

// The sample of each section whose keys the page lists (the first of the data bank).
const SectionDoc kSections[] = {
    {11, "Sym_Oscill.mnkd", "СимАвто"},
    {12, "Mnk/Tau0/Tau0_Oscill.mnzd", "СимЗап"},
    {21, "Kolco5.mtrd", "ГГСАвто"},
    {213, "Kolco5.srgd", "СтацРешMNN"},
    {215, "Repress3.srRd", "СтацРешRND"},
    {217, "Fold3.diud", "ДиагУст"},
    {22, "Mtr/Tau0/Tau0_Oscill.mtzd", "ГГСЗап"},
    {3, "Cirk3_Repress.stbd", "УстЦирк"},
    {4, "", "Ассор"},
    {511, "Syn1_Oscill.sy1d", "Син1Авто"},
    {512, "Sy1z/Tau0/Oscill.syzd", "Син1Зап"},
    {521, "Syn2_Oscill.sy2d", "Син2Авто"},
    {522, "Sy2z/Tau0/Oscill.syzd", "Син2Зап"},
    {6, "Suz/Tau0/Ring3_Oscill.suzd", "СисУрЗап"},
    {7, "StaResh5_LL1.stRd", "СтаРеш"},
    {8, "EcoCycle3.gsed", "ГСЭко"},
    {9, "Chaos_Oscill.chad", "Хаос"},
};

class SilentPrompter : public Prompter {
public:
    void message(const std::string& text, MsgIcon, const std::string&) override { messages.push_back(text); }
    std::string inputBox(const std::string&, const std::string&, const std::string&, int, int) override {
        return {};
    }
    std::vector<std::string> messages;
};

std::string readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    if (!in) fail("cannot read " + p.string());
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// The archive stores the pages in Windows-1251: a character that code page lacks (minus
// sign, ≤, Greek letters …) is written as a numeric character reference instead.
std::string cp1251Safe(const std::string& s) {
    static const std::set<unsigned> extra = {
        0xA0,   0xA4,   0xA6,   0xA7,   0xA9,   0xAB,   0xAC,   0xAD,   0xAE,   0xB0,   0xB1,
        0xB5,   0xB6,   0xB7,   0xBB,   0x2013, 0x2014, 0x2018, 0x2019, 0x201A, 0x201C, 0x201D,
        0x201E, 0x2020, 0x2021, 0x2022, 0x2026, 0x2030, 0x2039, 0x203A, 0x20AC, 0x2116, 0x2122};
    std::string r;
    for (std::size_t i = 0; i < s.size();) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        int n = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        if (i + n > s.size()) n = 1;
        unsigned cp = n == 1 ? c : n == 2 ? c & 0x1F : n == 3 ? c & 0x0F : c & 0x07;
        for (int k = 1; k < n; ++k) cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
        if (cp < 0x80 || (cp >= 0x400 && cp <= 0x45F) || extra.count(cp)) r.append(s, i, n);
        else r += "&#" + std::to_string(cp) + ";";
        i += n;
    }
    return r;
}

void writeFile(const fs::path& p, const std::string& text) {
    std::ofstream out(p, std::ios::binary);
    out << cp1251Safe(text);
    if (!out.flush()) fail("cannot write " + p.string());
}

std::string html(const std::string& s) {
    std::string r;
    for (char c : s) {
        if (c == '&') r += "&amp;";
        else if (c == '<') r += "&lt;";
        else if (c == '>') r += "&gt;";
        else if (c == '"') r += "&quot;";
        else r += c;
    }
    return r;
}

std::string trim(const std::string& s) {
    const auto b = s.find_first_not_of(" \t");
    if (b == std::string::npos) return {};
    return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

std::string upper(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
}

void replaceMark(std::string& page, const std::string& mark, const std::string& text,
                 const std::string& name) {
    const auto at = page.find(mark);
    if (at == std::string::npos) fail(name + ": no mark " + mark);
    page.replace(at, mark.size(), text);
}

// ---------------------------------------------------------------- parameter descriptions

struct Desc {
    std::string key, meaning, unit, range;
    bool used = false;
};

// "code|KEY|meaning|unit|range" lines; a key in brackets, "[MC(i,j)]", names a matrix
// written without a label line; a section without a data file lists its entries as they stand.
std::map<int, std::vector<Desc>> readDescs(const fs::path& p) {
    std::map<int, std::vector<Desc>> d;
    std::istringstream in(readFile(p));
    std::string line;
    int n = 0;
    while (std::getline(in, line)) {
        ++n;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (trim(line).empty() || line[0] == '#') continue;
        std::vector<std::string> f;
        std::string cur;
        for (char c : line) {
            if (c == '|') {
                f.push_back(cur);
                cur.clear();
            } else cur += c;
        }
        f.push_back(cur);
        if (f.size() != 5) fail(p.string() + ":" + std::to_string(n) + ": five fields expected");
        d[std::stoi(f[0])].push_back({trim(f[1]), trim(f[2]), trim(f[3]), trim(f[4])});
    }
    return d;
}

Desc* findDesc(std::vector<Desc>& ds, const std::string& key) {
    for (auto& d : ds)
        if (upper(d.key) == upper(key)) return &d;
    return nullptr;
}

// ---------------------------------------------------------------- data-file items

struct Item {
    std::string key, value;
    bool matrix = false;
};
struct Block {
    std::string head1, head2;
    std::vector<Item> items;
};

bool numericRow(const std::string& s) {
    static const std::regex re(R"(^\s*[-+0-9.Ee]+(\s*,\s*[-+0-9.Ee]+)*\s*$)");
    return std::regex_match(s, re);
}

// The blocks of a sample as its section's reader sees them: the header lines the reader
// stored in the header store mark where each block begins.
std::vector<Block> readBlocks(const SectionDoc& s, const fs::path& user, const fs::path& scratch) {
    fs::create_directories(scratch / "User");
    AppPaths paths(scratch.string());
    NullSurface surf;
    SilentPrompter ui;
    Store store;  // a fresh store for every sample
    Ctx ctx{surf, ui, paths, store};
    auto core = makeSectionCore(s.code);
    if (!core) fail("section " + std::to_string(s.code) + " is not built");
    const fs::path sample = user / s.sample;
    core->dataPath = sample.string();
    try {
        core->InputPar(ctx);
    } catch (const std::exception& e) {
        fail(std::string(s.sample) + ": the section's reader fails: " + e.what());
    }
    int nblocks = 0;
    for (int k = 1; k <= 12; ++k)
        if (!store.HEAD[k][0].empty() || !store.HEAD[k][1].empty()) nblocks = k;
    if (nblocks == 0) fail(std::string(s.sample) + ": the reader stored no block headers");

    const std::vector<std::string> lines = readAllLines(sample.string());
    std::vector<std::size_t> starts;  // index of the first header line of each block
    std::size_t pos = 0;
    for (int k = 1; k <= nblocks; ++k) {
        const auto& h = store.HEAD[k];
        std::size_t i = pos;
        while (i + 1 < lines.size() && !(lines[i] == h[0] && lines[i + 1] == h[1])) ++i;
        if (i + 1 >= lines.size())
            fail(std::string(s.sample) + ": header of block " + std::to_string(k) + " not found");
        starts.push_back(i);
        pos = i + 2;
    }
    starts.push_back(lines.size());

    static const std::regex keyLine(R"(^(\S+) = (\S.*)$)");
    std::vector<Block> blocks;
    for (int k = 0; k < nblocks; ++k) {
        Block b{lines[starts[k]], lines[starts[k] + 1], {}};
        std::vector<std::string> rows;
        auto flushMatrix = [&] {
            if (rows.empty()) return;
            std::size_t cols = 1;
            for (char c : rows.front()) cols += c == ',';
            b.items.push_back({"", std::to_string(rows.size()) + " × " + std::to_string(cols), true});
            rows.clear();
        };
        for (std::size_t i = starts[k] + 2; i < starts[k + 1]; ++i) {
            const std::string& l = lines[i];
            std::smatch m;
            if (numericRow(l)) {
                rows.push_back(l);
                continue;
            }
            flushMatrix();
            if (trim(l).empty()) continue;
            if (std::regex_match(l, m, keyLine)) {
                b.items.push_back({m[1], m[2], false});
            } else if (l.back() == ':' && l.find(' ') == std::string::npos) {
                const std::string v = i + 1 < starts[k + 1] ? lines[i + 1] : std::string();
                b.items.push_back({l.substr(0, l.size() - 1), v, false});
                ++i;
            } else {
                fail(std::string(s.sample) + ": line " + std::to_string(i + 1) + " of block " +
                     std::to_string(k + 1) + " is neither a key, a list nor a matrix row: " + l);
            }
        }
        flushMatrix();
        blocks.push_back(std::move(b));
    }
    return blocks;
}

std::string shortValue(const std::string& v) {
    if (v.size() <= 48) return v;
    std::size_t cut = 44;
    while (cut > 0 && (static_cast<unsigned char>(v[cut]) & 0xC0) == 0x80) --cut;
    return v.substr(0, cut) + "…";
}

std::string row(const std::string& key, const std::string& value, const Desc& d) {
    return "<tr><td><code>" + html(key) + "</code></td><td>" + html(value) + "</td><td>" + d.meaning +
           "</td><td>" + d.unit + "</td><td>" + d.range + "</td></tr>\n";
}

const char* kTableHead =
    "<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\">\n"
    "<tr><th width=\"13%\">Ключ</th><th width=\"13%\">В примере</th><th width=\"40%\">Смысл</th>"
    "<th width=\"12%\">Единица</th><th width=\"22%\">Разумный диапазон</th></tr>\n";

std::string paramTable(const SectionDoc& s, std::vector<Desc>& ds, const fs::path& user,
                       const fs::path& scratch) {
    std::string t = kTableHead;
    if (!*s.sample) {
        for (auto& d : ds) {
            d.used = true;
            t += row(d.key, "—", d);
        }
        return t + "</table>\n";
    }
    std::vector<std::string> missing;
    const auto blocks = readBlocks(s, user, scratch);
    for (std::size_t k = 0; k < blocks.size(); ++k) {
        const Block& b = blocks[k];
        std::string h = trim(b.head1);
        const std::string h2 = trim(b.head2);
        if (!h2.empty() && h2.find_first_not_of("-=") != std::string::npos) h += " " + h2;
        t += "<tr><td colspan=\"5\"><b>Блок " + std::to_string(k + 1) + ".</b> <i>" + html(h) +
             "</i></td></tr>\n";
        for (const Item& it : b.items) {
            Desc* d = nullptr;
            std::string key = it.key;
            if (it.matrix) {
                for (auto& c : ds)
                    if (!c.key.empty() && c.key.front() == '[' && !c.used) {
                        d = &c;
                        break;
                    }
                if (d) key = d->key.substr(1, d->key.size() - 2) + " (строки без подписи)";
            } else {
                d = findDesc(ds, it.key);
            }
            if (!d) {
                missing.push_back(it.matrix ? std::string("[matrix]") : it.key);
                continue;
            }
            d->used = true;
            t += row(key, shortValue(it.value), *d);
        }
    }
    if (!missing.empty()) {
        std::string m;
        for (const auto& k : missing) m += " " + k;
        fail(std::string(s.sample) + ": keys without a description in the parameter table:" + m);
    }
    for (const auto& d : ds)
        if (!d.used)
            fail("section " + std::to_string(s.code) + ": description of " + d.key + " matches no key of " +
                 s.sample);
    return t + "</table>\n";
}

std::string zbankText(const fs::path& user, const SectionDoc& s) {
    std::string out;
    const char* names[] = {"", "_Банк"};
    const char* titles[] = {"Формулировка модели (меню «Задачи › Формулировка модели»)",
                            "Банк данных (меню «Задачи › Банк данных»)"};
    for (int i = 0; i < 2; ++i) {
        const fs::path p = user / "Z_Bank" / (std::string(s.folder) + names[i] + ".txt");
        if (!fs::exists(p)) fail("no Z_Bank text " + p.string());
        std::string body;
        for (const auto& l : readAllLines(p.string())) body += html(l) + "\n";
        out += "<h3>" + std::string(titles[i]) + "</h3>\n<pre>" + body + "</pre>\n";
    }
    return out;
}

// ---------------------------------------------------------------- the examples document

struct Para {
    enum Kind { Title, Subtitle, Heading, Body, Item } kind;
    std::string text;  // HTML
};

// The document is plain: one paragraph per "\pard ... \par", text in \uN? escapes,
// bold and italic runs. Nothing else of RTF is needed for it.
std::vector<Para> readRtf(const std::string& rtf) {
    std::vector<Para> out;
    std::size_t at = 0;
    auto utf8 = [](unsigned cp) {
        std::string s;
        if (cp < 0x80) s += static_cast<char>(cp);
        else if (cp < 0x800) {
            s += static_cast<char>(0xC0 | (cp >> 6));
            s += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            s += static_cast<char>(0xE0 | (cp >> 12));
            s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            s += static_cast<char>(0x80 | (cp & 0x3F));
        }
        return s;
    };
    while ((at = rtf.find("\\pard", at)) != std::string::npos) {
        const std::size_t end = rtf.find("\\par\n", at + 5) != std::string::npos ? rtf.find("\\par\n", at + 5)
                                                                                 : rtf.find("\\par", at + 5);
        if (end == std::string::npos) fail("VELTA_D.doc: paragraph without \\par");
        const std::string p = rtf.substr(at, end - at);
        at = end + 4;
        Para para{Para::Body, {}};
        std::size_t i = 0;
        std::string ctl;
        bool b = false, it = false;
        while (i < p.size()) {
            const char c = p[i];
            if (c == '\\') {
                const char n = i + 1 < p.size() ? p[i + 1] : '\0';
                if (n == '\\' || n == '{' || n == '}') {
                    para.text += n;
                    i += 2;
                    continue;
                }
                std::size_t j = i + 1;
                while (j < p.size() && std::isalpha(static_cast<unsigned char>(p[j]))) ++j;
                std::string word = p.substr(i + 1, j - i - 1);
                std::size_t k = j;
                if (k < p.size() && (p[k] == '-' || std::isdigit(static_cast<unsigned char>(p[k])))) {
                    ++k;
                    while (k < p.size() && std::isdigit(static_cast<unsigned char>(p[k]))) ++k;
                }
                const std::string num = p.substr(j, k - j);
                if (k < p.size() && p[k] == ' ') ++k;
                if (word == "u") {
                    long cp = std::stol(num);
                    if (cp < 0) cp += 65536;
                    para.text += html(utf8(static_cast<unsigned>(cp)));
                    if (k < p.size() && p[k] == '?') ++k;
                } else if (word == "b") {
                    const bool on = num != "0";
                    if (on != b) para.text += on ? "<b>" : "</b>";
                    b = on;
                } else if (word == "i") {
                    const bool on = num != "0";
                    if (on != it) para.text += on ? "<i>" : "</i>";
                    it = on;
                } else {
                    ctl += "\\" + word + num;
                }
                i = k;
                continue;
            }
            if (c == '{' || c == '}' || c == '\n' || c == '\r') {
                ++i;
                continue;
            }
            para.text += html(std::string(1, c));
            ++i;
        }
        if (b) para.text += "</b>";
        if (it) para.text += "</i>";
        if (ctl.find("\\fs36") != std::string::npos) para.kind = Para::Title;
        else if (ctl.find("\\qc") != std::string::npos) para.kind = Para::Subtitle;
        else if (ctl.find("\\keepn") != std::string::npos) para.kind = Para::Heading;
        else if (ctl.find("\\li") != std::string::npos) para.kind = Para::Item;
        // Headings and the title carry their own bold: the page's heading tags replace it.
        if (para.kind == Para::Title || para.kind == Para::Heading) {
            std::string t;
            for (std::size_t q = 0; q < para.text.size();) {
                if (para.text.compare(q, 3, "<b>") == 0) q += 3;
                else if (para.text.compare(q, 4, "</b>") == 0) q += 4;
                else t += para.text[q++];
            }
            para.text = trim(t);
        }
        out.push_back(para);
    }
    return out;
}

std::string pageHead(const std::string& title) {
    return "<html>\n<head>\n<meta http-equiv=\"Content-Type\" content=\"text/html; "
           "charset=utf-8\">\n<title>" +
           title + "</title>\n</head>\n<body>\n";
}

// "2.1.3. Стационарные ..." gives the section code 213.
int headingCode(const std::string& h) {
    std::string digits;
    std::size_t i = 0;
    while (i < h.size() && (std::isdigit(static_cast<unsigned char>(h[i])) || h[i] == '.')) {
        if (h[i] != '.') digits += h[i];
        ++i;
    }
    return digits.empty() ? 0 : std::stoi(digits);
}

void examplePages(const fs::path& user, const fs::path& out, std::set<int>& codes) {
    const auto paras = readRtf(readFile(user / "VELTA_D.doc"));
    std::string title, intro;
    struct Ex {
        int code;
        std::string heading, body;
    };
    std::vector<Ex> ex;
    bool inIntro = true;
    for (const auto& p : paras) {
        switch (p.kind) {
        case Para::Title: title = p.text; break;
        case Para::Subtitle: intro += "<p>" + p.text + "</p>\n"; break;
        case Para::Heading: {
            const int code = headingCode(p.text);
            if (code == 0 && inIntro) {
                intro += "<h2>" + p.text + "</h2>\n";
                break;
            }
            if (code == 0) fail("VELTA_D.doc: heading without a section number: " + p.text);
            inIntro = false;
            ex.push_back({code, p.text, {}});
            break;
        }
        case Para::Item:
            (inIntro ? intro : ex.back().body) += "<p style=\"margin-left:24px\">" + p.text + "</p>\n";
            break;
        case Para::Body: (inIntro ? intro : ex.back().body) += "<p>" + p.text + "</p>\n"; break;
        }
    }
    if (title.empty() || ex.empty()) fail("VELTA_D.doc: no title or no examples");
    std::string index = pageHead(title) + "<h1>" + title + "</h1>\n" + intro +
                        "<h2>Примеры по разделам</h2>\n<ul>\n";
    for (const auto& e : ex)
        index += "<li><a href=\"ex_" + std::to_string(e.code) + ".htm\">" + e.heading + "</a></li>\n";
    index += "</ul>\n<p><a href=\"index.htm\">К содержанию справки</a></p>\n</body>\n</html>\n";
    writeFile(out / "examples.htm", index);
    for (const auto& e : ex) {
        codes.insert(e.code);
        std::string page = pageHead(e.heading) + "<h1>Пример. " + e.heading + "</h1>\n" + e.body +
                           "<p>Описание раздела: <a href=\"sec_" + std::to_string(e.code) + ".htm\">" +
                           e.heading +
                           "</a>. <a href=\"examples.htm\">Все примеры</a>.</p>\n</body>\n</html>\n";
        writeFile(out / ("ex_" + std::to_string(e.code) + ".htm"), page);
    }
}

}  // namespace

int main(int argc, char** argv) {
    fs::path src, user, params, out;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string a = argv[i];
        if (a == "--src") src = argv[i + 1];
        else if (a == "--user") user = argv[i + 1];
        else if (a == "--params") params = argv[i + 1];
        else if (a == "--out") out = argv[i + 1];
        else {
            std::cerr << "velta-helpgen: unknown option " << a << "\n";
            return 2;
        }
    }
    if (src.empty() || user.empty() || params.empty() || out.empty()) {
        std::cerr << "usage: velta-helpgen --src DIR --user DIR --params FILE --out DIR\n";
        return 2;
    }
    try {
        fs::create_directories(out);
        const fs::path scratch = out / ".helpgen";
        auto descs = readDescs(params);
        std::set<std::string> generated;
        for (const auto& s : kSections) {
            const std::string name = "sec_" + std::to_string(s.code) + ".htm";
            std::string page = readFile(src / name);
            replaceMark(page, "<!--VELTA:PARAMS-->", paramTable(s, descs[s.code], user, scratch), name);
            replaceMark(page, "<!--VELTA:ZBANK-->", zbankText(user, s), name);
            writeFile(out / name, page);
            generated.insert(name);
        }
        for (const auto& [code, ds] : descs) {
            const bool known = std::any_of(std::begin(kSections), std::end(kSections),
                                           [c = code](const SectionDoc& s) { return s.code == c; });
            if (!known) fail("descriptions for an unknown section " + std::to_string(code));
        }
        std::set<int> exCodes;
        examplePages(user, out, exCodes);
        for (const auto& s : kSections)
            if (!exCodes.count(s.code))
                fail("VELTA_D.doc has no example of section " + std::to_string(s.code));
        for (const auto& e : fs::directory_iterator(src)) {
            const std::string n = e.path().filename().string();
            const auto ext = e.path().extension();
            if ((ext == ".htm" || ext == ".hhc" || ext == ".hhk") && !generated.count(n))
                writeFile(out / n, readFile(e.path()));
        }
        fs::remove_all(scratch);
    } catch (const std::exception& e) {
        std::cerr << "velta-helpgen: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
