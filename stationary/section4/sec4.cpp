// Section 4 "Ассорти": the U-numbers of the components, the circulant of the proposed
// symmetry and the search over KMOD written to "\User\Results.sty".
#include "stationary/section4/sec4.h"

#include "app/prompter.h"
#include "data/numtext.h"
#include "data/paths.h"
#include "data/textfile.h"
#include "graphics/surface.h"
#include "stationary/continuation.h"

#include <cmath>

namespace velta {

// ---------------------------------------------------------------- input

bool Sec4::beforeInput(Ctx& c) {
    for (;;) {
        const std::string answer = c.ui.inputBox("Задайте число уравнений  NDIM", kTitle, "1");
        if (answer.empty()) return false;
        double n = 0;
        try {
            n = textToReal(answer);
        } catch (const VeltaError&) {
            c.ui.message("Вы задали НЕ ЧИСЛО", MsgIcon::Exclamation);
            continue;
        }
        try {
            c.store.NDIM = textToI16(answer);
            return true;
        } catch (const VeltaError&) {
            // A number beyond the 16-bit range gets the range message of any other NDIM
            // the section cannot take.
            c.ui.message("Ошибка при вводе исходных данных.\nЧисло уравнений NDIM должно быть от 1 до " +
                             CStr(kMaxNdim) + " (NDIM = " + CStr(n) + ")",
                         MsgIcon::Critical);
            return false;
        }
    }
}

void Sec4::checkNdim(int ndim) {
    if (ndim < 1 || ndim > kMaxNdim)
        throw VeltaError("Число уравнений NDIM должно быть от 1 до " + CStr(kMaxNdim) +
                         " (NDIM = " + CStr(ndim) + ")");
}

void Sec4::Input1(Ctx& c) {
    Store& g = c.store;
    checkNdim(g.NDIM);
    V.alloc(g.NDIM);
    for (int i = 1; i <= g.NDIM; ++i) V(i) = i;
    g.G.alloc(g.NDIM);  // the table starts with "0" everywhere
    g.NU = 0;
    taken_ = false;
}

std::vector<std::string> Sec4::splitList(const std::string& text) {
    std::vector<std::string> items;
    std::string cur;
    for (char ch : text) {
        if (ch == ',' || ch == ' ' || ch == '\t') {
            if (!cur.empty()) items.push_back(cur);
            cur.clear();
        } else {
            cur += ch;
        }
    }
    if (!cur.empty()) items.push_back(cur);
    return items;
}

std::vector<double> Sec4::numbersFromTexts(const std::vector<std::string>& texts) {
    std::vector<double> g;
    g.reserve(texts.size());
    for (std::size_t i = 0; i < texts.size(); ++i) {
        try {
            g.push_back(textToReal(texts[i]));
        } catch (const VeltaError&) {
            throw VeltaError("Номер компоненты вектора U для X(" + CStr(static_cast<int>(i + 1)) +
                             ") задан НЕ ЧИСЛОМ: \"" + texts[i] + "\"");
        }
    }
    return g;
}

void Sec4::checkNumbers(const std::vector<double>& g, int ndim) {
    checkNdim(ndim);
    if (static_cast<int>(g.size()) != ndim)
        throw VeltaError("Задано " + CStr(static_cast<int>(g.size())) +
                         " номеров компонент вектора U, а нужно NDIM = " + CStr(ndim));
    bool anyZero = false, allZero = true;
    int nu = 0;
    for (int i = 1; i <= ndim; ++i) {
        const double v = g[static_cast<std::size_t>(i - 1)];
        if (!(v >= 0 && v <= ndim && v == std::floor(v)))
            throw VeltaError("Номер компоненты вектора U для X(" + CStr(i) +
                             ") должен быть целым числом от 1 до NDIM = " + CStr(ndim) + " (задано " +
                             CStr(v) + ")");
        if (v == 0) anyZero = true;
        else allZero = false;
        if (v > nu) nu = static_cast<int>(v);
    }
    if (allZero) return;  // no new variables: the report gives empty matrices
    if (anyZero) {
        for (int i = 1; i <= ndim; ++i)
            if (g[static_cast<std::size_t>(i - 1)] == 0)
                throw VeltaError("Компоненте X(" + CStr(i) +
                                 ") не присвоен номер компоненты вектора U (задан 0)");
    }
    // Every number 1..NU needs a component: it is the representative of its equation.
    for (int u = 1; u <= nu; ++u) {
        bool found = false;
        for (double v : g) found = found || v == u;
        if (!found)
            throw VeltaError("Номер " + CStr(u) + " не присвоен ни одной компоненте X: номера " +
                             "компонент вектора U должны идти от 1 до NU = " + CStr(nu) + " без пропусков");
    }
}

void Sec4::cmdOK_Tabl(Store& s, const std::vector<double>& g) {
    checkNumbers(g, s.NDIM);
    s.G.alloc(s.NDIM);
    double largest = 0;
    for (int i = 1; i <= s.NDIM; ++i) {
        s.G(i) = g[static_cast<std::size_t>(i - 1)];
        if (s.G(i) > largest) largest = s.G(i);
    }
    s.NU = toI16(largest);
    taken_ = true;
}

bool Sec4::askNumbers(Ctx& c) {
    const int n = c.store.NDIM;
    const std::string prompt = "Задайте номера компонент вектора  U\nдля X(1),...,X(" + CStr(n) +
                               ") через запятую";
    for (;;) {
        const std::string answer = c.ui.inputBox(prompt, kTitle, "");
        if (answer.empty()) return false;
        try {
            cmdOK_Tabl(c.store, numbersFromTexts(splitList(answer)));
            return true;
        } catch (const VeltaError& e) {
            c.ui.message(e.what(), MsgIcon::Exclamation);
        }
    }
}

// ---------------------------------------------------------------- search

void Sec4::Matric(const Vec& v, int n, Mat& a) {
    a.alloc(n, n);
    for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= n; ++j) {
            int d = ((j - i) % n + n) % n;
            if (d == 0) d = n;
            a(i, j) = v(d);
        }
}

void Sec4::countRow(int f, int k1, int nu, int u, Mat& k) const {
    for (int l = 1; l <= nu; ++l) k(u, l) = 0;
    for (int g = 1; g <= k1; ++g) {
        const double d = A(g, f);
        if (d >= 1 && d <= nu) k(u, static_cast<int>(d)) += 1;
    }
}

void Sec4::Assorty(Ctx& c) {
    Store& g = c.store;
    checkNdim(g.NDIM);
    const int n = g.NDIM;
    if (!taken_ || g.G.upper() != n) {
        if (!askNumbers(c)) throw VeltaError("Номера компонент вектора U не заданы: счёт не выполнен");
    }
    std::vector<double> numbers;
    for (int i = 1; i <= n; ++i) numbers.push_back(g.G(i));
    checkNumbers(numbers, n);
    const int nu = g.NU;

    auto out = TextWriter::create(c.paths.userFile("Results.sty"));
    out->line("");
    out->line("  ПОИСК ЧАСТИЧНО СИММЕТРИЧНЫХ РЕШЕНИЙ АВТОНОМНЫХ СИСТЕМ,");
    out->line("           ПРЕДСТАВЛЯЮЩИХ МОДЕЛЬ М(NDIM,KMOD)");
    out->line("");
    out->line("              Предлагаемый вариант : ");
    out->line(" NDIM = " + printedNumber(n));
    out->line(" Номер комоненты вектора X    Номер компоненты вектора U");
    out->line("-------------------------------------------------------");
    for (int a = 1; a <= n; ++a)
        out->line("         " + Format(a, "00") + "                            " + Format(g.G(a), "00"));
    out->line(" Число новых переменных NU =" + printedNumber(nu));

    V.alloc(n);
    for (int i = 1; i <= n; ++i) V(i) = g.G(i);
    Matric(V, n, A);
    K.alloc(nu, nu);
    K0.alloc(nu, nu);

    for (int kmod = n; kmod >= 2; --kmod) {
        g.KMOD = static_cast<i16>(kmod);
        c.surf.poll();
        const int k1 = kmod - 1;
        const std::string header = CStr(n + 1 - kmod) + ")  Модель M(" + CStr(n) + "," + CStr(kmod) + ")";
        // The equation of number u as its first component (the representative) sees it.
        for (int u = 1; u <= nu; ++u) {
            int rep = 1;
            while (V(rep) != u) ++rep;
            countRow(rep, k1, nu, u, K);
        }
        K0 = K;
        // Every other component of number u must see the same numbers among its regulators:
        // the whole row is compared, not only its first count.
        bool consistent = true;
        for (int u = 1; u <= nu && consistent; ++u)
            for (int f = 1; f <= n && consistent; ++f) {
                if (V(f) != u) continue;
                countRow(f, k1, nu, u, K);
                for (int l = 1; l <= nu; ++l)
                    if (K(u, l) != K0(u, l)) consistent = false;
            }
        out->line("");
        out->line(header);
        if (!consistent) {
            out->line("Система уравнений относительно компонент U ");
            out->line("с предполагаемой  симметрией противоречива.");
            continue;
        }
        out->line("");
        out->line("     МАТРИЦА КОЭФФИЦИЕНТОВ K(i,j)," + std::string(" NU =") + printedNumber(nu));
        out->line(" i-номер уравнения системы относительно u(i)");
        out->line("             i = 1,2,...," + printedNumber(nu));
        out->line("");
        for (int j = 1; j <= nu; ++j) {
            std::string row = "    " + CStr(j) + ".     " + "[";
            for (int l = 1; l <= nu; ++l) row += "   " + CStr(K(j, l));
            out->line(row + "   ]");
        }
    }
    out->close();
    g.KMOD = 1;
}

}  // namespace velta
