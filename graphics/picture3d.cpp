#include "graphics/picture3d.h"

#include "app/shell.h"
#include "data/error.h"
#include "data/numtext.h"
#include "data/paths.h"
#include "data/store.h"
#include "data/textfile.h"
#include "graphics/canvas.h"
#include "graphics/surface.h"

#include <cmath>
#include <cstdlib>

namespace velta {

namespace {

constexpr Colour kPureRed = 0x0000FF, kPureGreen = 0x00FF00, kPureBlue = 0xFF0000;
constexpr double kLatitudeEdge = 1.5706963267949001;

// Pieces of a results row split at every "   ".
std::vector<std::string> splitRow(const std::string& s) {
    std::vector<std::string> out;
    std::string::size_type from = 0;
    for (;;) {
        const auto at = s.find("   ", from);
        out.push_back(s.substr(from, at == std::string::npos ? std::string::npos : at - from));
        if (at == std::string::npos) return out;
        from = at + 3;
    }
}

// Numbers in 14-character print zones, each with its sign place and a trailing blank.
std::string zones(const std::vector<double>& values) {
    std::string out;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0) out.append(((out.size() + 13) / 14) * 14 - out.size(), ' ');
        out += (values[i] < 0 ? "" : " ") + CStr(values[i]) + " ";
    }
    return out;
}

void checkTitle(const Store& g, TextWriter& chk) {
    chk.line("Контроль ввода данных:");
    chk.line("----------------------");
    chk.line(g.RESEXT);
}

// Component `k` (1-based) of a table row: piece k + 1.
double component(TextReader& in, const std::vector<std::string>& pieces, int k) {
    const std::size_t at = static_cast<std::size_t>(k) + 1;
    if (k < 1 || at >= pieces.size()) in.fail("компонента X(" + std::to_string(k) + ") в строке таблицы");
    try {
        return textToReal(pieces[at]);
    } catch (const VeltaError&) {
        in.fail("число X(" + std::to_string(k) + ") в строке таблицы");
    }
}

// Opens the results table after its header lines; the table must hold NROW rows.
void skipHeader(const Store& g, TextReader& in) {
    if (g.NROW <= 0) throw VeltaError("Нет строк таблицы результатов: сначала выполните счёт");
    const int n = headerLines(g.RESEXT, g.NDIM);
    for (int i = 0; i < n; ++i) in.readLine();
}

std::string signedText(double x) { return (x < 0 ? "" : " ") + CStr(x); }

void textRow(Ctx& c, const View3D&, double x, double row, const std::string& s) {
    const Store& st = c.store;
    c.surf.setCurrent(x, st.TXTY + 20 + row * st.CHH);
    c.surf.text(s);
}

// The edges of the box: top face, bottom face, verticals.
constexpr int kEdges[12][2] = {{1, 2}, {2, 3}, {3, 4}, {4, 1}, {5, 6}, {6, 7},
                               {7, 8}, {8, 5}, {1, 5}, {2, 6}, {3, 7}, {4, 8}};

Colour edgeColour(int a, int b) {
    auto is = [&](int p, int q) { return (a == p && b == q) || (a == q && b == p); };
    if (is(7, 6)) return QBColor(12);
    if (is(7, 3)) return QBColor(10);
    if (is(7, 8)) return QBColor(9);
    return QBColor(8);
}

void drawContents(Ctx& c, View3D& v, double sinfi, double cosfi) {
    Surface& sf = c.surf;
    const Store& s = c.store;
    if (v.opt.phase) {
        const int n = static_cast<int>(v.X3.size()) - 1;
        for (int i = 1; i <= n; ++i) PereSchet(v, v.X3[i], v.Y3[i], v.Z3[i], sinfi, cosfi, v.U3[i], v.V3[i]);
        sf.lineWidth = 1;
        const double nsc = s.NSC >= 1 ? s.NSC : 1;
        auto inside = [&](double x, double y) {
            return s.LEFTP < x && x < s.RIGHTP && s.TOPP < y && y < s.BOTP;
        };
        for (int i = 2; i <= n; ++i) {
            const double x0 = newx(v, v.U3[i - 1]), y0 = newy(v, v.V3[i - 1]);
            const double x1 = newx(v, v.U3[i]), y1 = newy(v, v.V3[i]);
            if (!inside(x0, y0) || !inside(x1, y1)) continue;
            // The colour cycle of the 2D phase trajectory; negative values shown as positive.
            const std::int32_t value = CLng(std::sin(i / nsc) * 16777215.0);
            sf.segment(x0, y0, x1, y1, static_cast<Colour>(std::abs(value)));
        }
    } else if (v.opt.puan) {
        for (int i = 1; i <= v.PUANCOUNT; ++i)
            PereSchet(v, v.XC1[i], v.XC2[i], v.XC3[i], sinfi, cosfi, v.PU[i], v.PV[i]);
        const Colour cyan = QBColor(11);
        sf.fillSolid = true;
        sf.fillColour = cyan;
        for (int i = 1; i <= v.PUANCOUNT; ++i) {
            const double x = newx(v, v.PU[i]), y = newy(v, v.PV[i]);
            if (s.LEFTP + 2 < x && x < s.RIGHTP - 2 && s.TOPP + 2 < y && y < s.BOTP - 2)
                sf.circle(x, y, 2, cyan);
        }
        sf.fillSolid = false;
    }
}

}  // namespace

Options3D options3D(const Shell& s) {
    Options3D o;
    const int d = s.varDialogIndex();
    if (d < 0) return o;
    const VarParOptions& v = s.varpar[static_cast<std::size_t>(d)];
    const bool full = d == static_cast<int>(VarDlg::VarPar) || d == static_cast<int>(VarDlg::VarPar9);
    o.phase = v.optPhas3;
    o.puan = full && v.optPuan3 && !o.phase;
    o.stereo = full && v.chkStereo;
    // Sections without a latitude box of their own follow the box of frmVarPar.
    o.latitudeLimit = full ? v.chkTE : s.varpar[static_cast<std::size_t>(VarDlg::VarPar)].chkTE;
    return o;
}

int headerLines(const std::string& resext, int ndim) {
    if (resext == "mnk" || resext == "gse") return 18;
    if (resext == "mtr") return ndim + 15;
    if (resext == "sy1" || resext == "cha") return 14;
    if (resext == "sy2") return 19;
    throw VeltaError("Трёхмерная картинка не строится по файлу Results." + resext);
}

// ---------------------------------------------------------------- reading

void readAngles(View3D& v, TextReader& in, TextWriter& chk) {
    v.header[0] = in.readLine();
    v.header[1] = in.readLine();
    double* values[5] = {&v.DFI, &v.DTE, &v.SFI, &v.SSCR, &v.MSCR};
    const char* keys[5] = {"DFI", "DTE", "SFI", "SSCR", "MSCR"};
    for (int i = 0; i < 5; ++i) {
        const std::string line = in.readLine();
        // "KEY = value": the value stands after the "=".
        const auto eq = line.find('=');
        if (eq == std::string::npos) in.fail(std::string(keys[i]) + " = число");
        try {
            *values[i] = textToReal(line.substr(eq + 1));
        } catch (const VeltaError&) {
            in.fail(std::string(keys[i]) + " = число");
        }
    }
    chk.line("Контроль ввода угловых данных:");
    chk.line("------------------------------");
    chk.line(v.header[0]);
    chk.line(v.header[1]);
    chk.line("DFI  = " + CStr(v.DFI));
    chk.line("DTE  = " + CStr(v.DTE));
    chk.line("SFI  = " + CStr(v.SFI));
    chk.line("SSCR = " + CStr(v.SSCR));
    chk.line("MSCR = " + CStr(v.MSCR));
}

void Input_Ugly(Ctx& c, View3D& v) {
    std::string path = v.uglyFile;
    if (path.empty() || !fileExists(path)) path = c.paths.userFile("Ugly.ugl");
    if (!fileExists(path)) throw VeltaError("Файл угловых данных " + path + " не найден");
    auto in = TextReader::open(path);
    auto chk = TextWriter::create(c.paths.userFile("Ugly.chk"));
    readAngles(v, *in, *chk);
    chk->close();
    v.DFIR = v.DFI * kHalfPi;
    v.FI = 10 * v.DFIR;
    v.DTER = v.DTE * kHalfPi;
    v.TE = 10 * v.DTER;
    v.SFIR = v.SFI * kHalfPi;
}

void writeAngles(TextWriter& out, const std::array<std::string, 5>& typed) {
    static const char* keys[5] = {"DFI = ", "DTE = ", "SFI = ", "SSCR = ", "MSCR = "};
    out.line("Угловые данные");
    out.line("--------------");
    for (int i = 0; i < 5; ++i) out.line(keys[i] + typed[static_cast<std::size_t>(i)]);
}

void Input2_k(const Store& g, View3D& v) {
    const double d = g.SCRX / 2;
    const double xs[9] = {0, d, d, -d, -d, d, d, -d, -d};
    const double ys[9] = {0, d, d, d, d, -d, -d, -d, -d};
    const double zs[9] = {0, d, -d, -d, d, d, -d, -d, d};
    for (int i = 1; i <= 8; ++i) {
        v.XK[i] = xs[i];
        v.YK[i] = ys[i];
        v.ZK[i] = zs[i];
    }
}

void readPhase(const Store& s, View3D& v, TextReader& in, TextWriter& chk) {
    checkTitle(s, chk);
    skipHeader(s, in);
    const int n = s.NROW;
    v.X3.assign(n + 1, 0);
    v.Y3.assign(n + 1, 0);
    v.Z3.assign(n + 1, 0);
    const int c1 = s.IC(1), c2 = s.IC(2), c3 = s.IC(3);
    for (int j = 1; j <= n; ++j) {
        const auto pieces = splitRow(in.readLine());
        v.X3[j] = component(in, pieces, c1);
        v.Y3[j] = component(in, pieces, c2);
        v.Z3[j] = component(in, pieces, c3);
        chk.line(zones({v.X3[j], v.Y3[j], v.Z3[j]}));
    }
    // The range 0..SCRX fills the box [-SCRX/2, SCRX/2].
    const double half = s.SCRX / 2;
    for (int j = 1; j <= n; ++j) {
        v.X3[j] -= half;
        v.Y3[j] -= half;
        v.Z3[j] -= half;
    }
    v.U3.assign(n + 1, 0);
    v.V3.assign(n + 1, 0);
}

void readPuan(const Store& s, View3D& v, TextReader& in, TextWriter& chk) {
    checkTitle(s, chk);
    skipHeader(s, in);
    const int n = s.NROW, ndim = s.NDIM;
    std::vector<std::vector<double>> t(static_cast<std::size_t>(n) + 1, std::vector<double>(ndim + 1, 0.0));
    for (int j = 1; j <= n; ++j) {
        const auto pieces = splitRow(in.readLine());
        for (int i = 1; i <= ndim; ++i) t[j][i] = component(in, pieces, i);
    }
    // (N, X - Xo) at a row.
    auto side = [&](int row) {
        double sum = 0;
        for (int i = 1; i <= ndim; ++i) sum += (t[row][i] - s.XP(i)) * s.FP(i);
        return sum;
    };
    auto sign = [](double x) { return (x > 0) - (x < 0); };
    v.XC1.assign(1, 0);
    v.XC2.assign(1, 0);
    v.XC3.assign(1, 0);
    v.PUANCOUNT = 0;
    const int ic[3] = {s.IC(1), s.IC(2), s.IC(3)};
    for (int k = 0; k < 3; ++k)
        if (ic[k] < 1 || ic[k] > ndim) throw VeltaError("Номер компоненты должен быть от 1 до NDIM");
    for (int d = 2; d <= n; ++d) {
        const double s1 = side(d - 1), s2 = side(d);
        if (sign(s1) + sign(s2) != 0) continue;
        double den = 0;
        for (int i = 1; i <= ndim; ++i) den += (t[d - 1][i] - t[d][i]) * s.FP(i);
        const double lambda = std::abs(den) >= 1e-6 ? s1 / den : 0;
        auto at = [&](int comp) { return t[d - 1][comp] + lambda * (t[d][comp] - t[d - 1][comp]); };
        ++v.PUANCOUNT;
        v.XC1.push_back(at(ic[0]));
        v.XC2.push_back(at(ic[1]));
        v.XC3.push_back(at(ic[2]));
    }
    for (int i = 1; i <= v.PUANCOUNT; ++i) chk.line(zones({double(i), v.XC1[i], v.XC2[i], v.XC3[i]}));
    const double half = s.SCRX / 2;
    for (int i = 1; i <= v.PUANCOUNT; ++i) {
        v.XC1[i] -= half;
        v.XC2[i] -= half;
        v.XC3[i] -= half;
    }
    v.PU.assign(v.PUANCOUNT + 1, 0);
    v.PV.assign(v.PUANCOUNT + 1, 0);
}

namespace {
void readResults(Ctx& c, View3D& v, const char* check,
                 void (*read)(const Store&, View3D&, TextReader&, TextWriter&)) {
    const std::string path = c.paths.userFile("Results." + c.store.RESEXT);
    if (!fileExists(path)) throw VeltaError("Файл " + path + " не найден");
    auto in = TextReader::open(path);
    auto chk = TextWriter::create(c.paths.userFile(check));
    read(c.store, v, *in, *chk);
    chk->close();
}
}  // namespace

void Input_ph(Ctx& c, View3D& v) { readResults(c, v, "Phas.chk", &readPhase); }
void Input_pu(Ctx& c, View3D& v) { readResults(c, v, "Puan.chk", &readPuan); }

void InputPhPu(Ctx& c, View3D& v) {
    if (v.opt.phase) Input_ph(c, v);
    else if (v.opt.puan) Input_pu(c, v);
}

// ---------------------------------------------------------------- projection and drawing

void PereSchet(const View3D& v, double x, double y, double z, double sinfi, double cosfi, double& u,
               double& w) {
    u = x * cosfi - z * sinfi;
    w = y * v.COSTE - v.SINTE * (x * sinfi + z * cosfi);
}

double newx(const View3D& v, double u) {
    const double s = v.SIMG;
    return ((1 - s) * v.KX3 + s * v.KX3B) * u + ((1 - s) * v.X3C + s * v.X3C2);
}

double newy(const View3D& v, double w) { return v.KY3 * w + v.Y3C; }

void SFRPRO_k(View3D& v, double sinfi, double cosfi) {
    for (int i = 1; i <= 8; ++i) PereSchet(v, v.XK[i], v.YK[i], v.ZK[i], sinfi, cosfi, v.XE[i], v.YE[i]);
}

std::vector<int> hiddenCorners(double s, double c, double S, double C) {
    // Rows: longitude quadrant; columns: latitude quadrant. Each cell is tested on its own.
    static const int table[4][4] = {{7, 5, 3, 1}, {8, 6, 4, 2}, {5, 7, 1, 3}, {6, 8, 2, 4}};
    const bool row[4] = {s >= 0 && c >= 0, s >= 0 && c <= 0, s <= 0 && c <= 0, s <= 0 && c >= 0};
    const bool col[4] = {S >= 0 && C >= 0, S >= 0 && C <= 0, S <= 0 && C >= 0, S <= 0 && C <= 0};
    std::vector<int> out;
    for (int r = 0; r < 4; ++r)
        for (int k = 0; k < 4; ++k)
            if (row[r] && col[k]) out.push_back(table[r][k]);
    return out;
}

void DrawKub(Ctx& c, View3D& v, double sinfi, double cosfi) {
    Surface& sf = c.surf;
    auto X = [&](int i) { return newx(v, v.XE[i]); };
    auto Y = [&](int i) { return newy(v, v.YE[i]); };
    for (int h : hiddenCorners(sinfi, cosfi, v.SINTE, v.COSTE)) {
        // The three edges of the hidden corner: dotted, except in a stereo pair.
        sf.lineStyle = v.opt.stereo ? LineStyle::Solid : LineStyle::Dotted;
        std::vector<std::array<int, 2>> rest;
        for (const auto& e : kEdges) {
            if (e[0] == h || e[1] == h) {
                const int n = e[0] == h ? e[1] : e[0];
                sf.pixel(X(h), Y(h));
                sf.lineTo(X(n), Y(n), edgeColour(h, n));
            } else {
                rest.push_back({e[0], e[1]});
            }
        }
        // The other nine as connected segments, moving only where the path breaks.
        sf.lineStyle = LineStyle::Solid;
        int at = 0;
        while (!rest.empty()) {
            std::size_t k = 0;
            for (; k < rest.size(); ++k)
                if (rest[k][0] == at || rest[k][1] == at) break;
            if (k == rest.size()) {
                k = 0;
                at = rest[0][0];
                sf.pixel(X(at), Y(at));
            }
            const int next = rest[k][0] == at ? rest[k][1] : rest[k][0];
            sf.lineTo(X(next), Y(next), edgeColour(at, next));
            at = next;
            rest.erase(rest.begin() + static_cast<std::ptrdiff_t>(k));
        }
    }
}

void MeshMaskG3(Ctx& c, View3D& v, const std::string& title) {
    Store& s = c.store;
    Surface& sf = c.surf;
    sf.lineWidth = 1;
    Mesh_Base(c);
    v.X3C = s.SIDEX / 2.0 + s.LEFTP;
    v.Y3C = s.CANH / 2.0 + s.TOPP;
    // The projected cube (half-diagonal d*sqrt(3)) fills the panel height.
    v.KY3 = (v.Y3C - s.BOTP) / s.SCRX * 1.155;
    v.KX3 = -v.KY3;
    v.KX3B = v.KX3;
    v.X3C2 = v.X3C;
    s.CHW = toI16(sf.textWidth("X"));
    s.CHH = toI16(sf.textHeight("X"));
    s.TXTX = toI16(s.SIDEX + 2 * (s.CHW + 10));
    s.TXTY = toI16(s.TOPP + 10);
    sf.foreColour = s.CAXES;

    const double x = s.TXTX;
    textRow(c, v, x + 15, 0, title);
    textRow(c, v, x + 60, 3, "Углы:");
    textRow(c, v, x + 30, 5, "долгота = ");
    textRow(c, v, x + 30, 6, "широта  = ");
    textRow(c, v, x + 15, 10, "Коорд. оси и компоненты:");
    const char* axes[3] = {"X", "Y", "Z"};
    const Colour colours[3] = {kPureRed, kPureGreen, kPureBlue};
    for (int k = 0; k < 3; ++k) {
        const int row = 12 + k;
        textRow(c, v, x + 35, row,
                std::string(axes[k]) + "          " + "  X(" + Format(s.IC(k + 1), "##") + ")");
        const double y = s.TXTY + 20 + (row + 0.5) * s.CHH;
        sf.segment(x + 60, y, x + 107, y, colours[k]);
    }
    if (v.opt.stereo) {
        textRow(c, v, x + 15, 18, "Параметры стерео-режима:");
        const double vx = x + 15 + 2 * s.CHW;
        textRow(c, v, x + 15, 20, "Угловая стерео-база:");
        textRow(c, v, vx, 21, signedText(v.SFI));
        textRow(c, v, x + 15, 22, "Экранная стерео-база:");
        textRow(c, v, vx, 23, signedText(v.SSCR));
        textRow(c, v, x + 15, 24, "Масштаб стерео-картинки:");
        textRow(c, v, vx, 25, signedText(v.MSCR));
    }
}

void Run1(Ctx& c, View3D& v) {
    Store& s = c.store;
    Surface& sf = c.surf;
    v.SINFI = std::sin(v.FI);
    v.COSFI = std::cos(v.FI);
    v.SINTE = std::sin(v.TE);
    v.COSTE = std::cos(v.TE);

    // Only the plot panel is cleared; the side panel keeps its texts.
    s.CBACK = QBColor(s.QBACK);
    sf.fillColour = s.CBACK;
    sf.fillBox(s.LEFTP, s.TOPP, s.RIGHTP, s.BOTP, s.CBACK);
    sf.box(s.LEFTP, s.TOPP, s.RIGHTP, s.BOTP, s.CFRAME);

    if (v.opt.stereo) {
        const double w = s.SIDEX * v.SSCR;  // pixels between the two image centres
        v.X3C = s.LEFTP + (s.SIDEX - w) / 2;
        v.X3C2 = v.X3C + w;
        v.Y3C = s.CANH / 2.0 + s.TOPP;
        v.KY3 = (v.Y3C - s.BOTP) / s.SCRX * v.MSCR;
        v.KX3 = -v.KY3;
        v.KX3B = v.KX3;
        SFRPRO_k(v, v.SINFI, v.COSFI);
        v.SIMG = 0;
        DrawKub(c, v, v.SINFI, v.COSFI);
        drawContents(c, v, v.SINFI, v.COSFI);
        v.SINFI2 = std::sin(v.SFIR + v.FI);
        v.COSFI2 = std::cos(v.SFIR + v.FI);
        SFRPRO_k(v, v.SINFI2, v.COSFI2);
        v.SIMG = 1;
        DrawKub(c, v, v.SINFI2, v.COSFI2);
        drawContents(c, v, v.SINFI2, v.COSFI2);
        v.SIMG = 0;
    } else {
        v.SIMG = 0;
        SFRPRO_k(v, v.SINFI, v.COSFI);
        DrawKub(c, v, v.SINFI, v.COSFI);
        drawContents(c, v, v.SINFI, v.COSFI);
    }

    // The angles in the side panel, shown negated.
    const double x = s.TXTX + 30 + 10 * s.CHW, x2 = s.TXTX + 30 + 18 * s.CHW;
    const double y0 = s.TXTY + 20;
    sf.fillBox(x, y0 + 5 * s.CHH, x2, y0 + 7 * s.CHH, s.CBACK);
    sf.fillBox(x, y0 + 7 * s.CHH, x2, y0 + 8 * s.CHH, s.CBACK);
    sf.foreColour = s.CAXES;
    auto angle = [](double a) {
        const double shown = a == 0 ? 0.0 : -a;
        return (shown < 0 ? "" : " ") + Format(shown, "0.####");
    };
    textRow(c, v, x, 5, angle(v.FI));
    textRow(c, v, x, 6, angle(v.TE));
}

void m3D_Graph(Ctx& c, View3D& v, const Options3D& o) {
    v.loaded = false;
    if (!o.phase && !o.puan) throw VeltaError("Не выбран режим трёхмерной картинки");
    const double scrx = c.store.SCRX;
    if (!(scrx > 0) || !std::isfinite(scrx))
        throw VeltaError("Масштаб SCRX = " + CStr(scrx) + ": трёхмерная картинка требует SCRX > 0");
    v.opt = o;
    Input_Ugly(c, v);
    Input2_k(c.store, v);
    InputPhPu(c, v);
    MeshMaskG3(c, v, o.phase ? "Фазовое пространство" : "Гиперплоскость Пуанкаре");
    Run1(c, v);
    v.loaded = true;
}

// ---------------------------------------------------------------- rotation

namespace {
void limitLatitude(View3D& v, bool low, bool high) {
    if (!v.opt.latitudeLimit) return;
    if (low && v.TE < -kHalfPi) v.TE = -kLatitudeEdge;
    if (high && v.TE > kHalfPi) v.TE = kLatitudeEdge;
}
}  // namespace

void turn(View3D& v, Turn t) {
    switch (t) {
    case Turn::Right: v.FI -= 10 * v.DFIR; break;
    case Turn::Left: v.FI += 10 * v.DFIR; break;
    case Turn::Up:
        v.TE -= 10 * v.DTER;
        limitLatitude(v, true, false);
        break;
    case Turn::Down:
        v.TE += 10 * v.DTER;
        limitLatitude(v, false, true);
        break;
    }
}

void drag(View3D& v, double dx, double dy) {
    // Every fifteen pixels of the offset turn by one increment (fifteen twips a pixel).
    constexpr double kTwipsPerPixel = 15;
    v.FI -= dx / kTwipsPerPixel * v.DFIR;
    v.TE += dy / kTwipsPerPixel * v.DTER;
    limitLatitude(v, true, true);
}

}  // namespace velta
