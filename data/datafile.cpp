#include "data/datafile.h"

#include "data/dataoverride.h"
#include "data/error.h"
#include "data/numtext.h"
#include "data/paths.h"
#include "data/textlist.h"

#include <algorithm>
#include <exception>
#include <istream>

namespace velta {

namespace {

const std::string kReadErrorPrefix = "Ошибка чтения файла ";

// The third piece of a key line split at every single blank.
std::string keyValue(TextReader& in, const std::string& label) {
    const std::string line = in.readLine();
    const auto pieces = split(line, ' ');
    if (pieces.size() < 3) in.fail("строка «" + label + " = значение», прочитано «" + quoteInput(line) + "»");
    return pieces[2];
}

void checkSlot(int k) {
    if (k < 0 || k > 12) throw VeltaError("Номер блока " + std::to_string(k) + " вне границ (0..12)");
}

}  // namespace

// ---------------------------------------------------------------- GridText

std::string& GridText::at(int r, int c) {
    if (r < 0 || r >= rows_ || c < 0 || c >= cols_)
        throw VeltaError("Ячейка (" + std::to_string(r) + ", " + std::to_string(c) + ") вне таблицы " +
                         std::to_string(rows_) + " x " + std::to_string(cols_));
    return cells_[static_cast<std::size_t>(r * cols_ + c)];
}

const std::string& GridText::at(int r, int c) const { return const_cast<GridText*>(this)->at(r, c); }

std::string GridText::joinRow(int r, int c1, int c2) const {
    std::string s;
    for (int c = c1; c <= c2; ++c) {
        if (c > c1) s += ',';
        s += at(r, c);
    }
    return s;
}

std::string GridText::joinCol(int c, int r1, int r2) const {
    std::string s;
    for (int r = r1; r <= r2; ++r) {
        if (r > r1) s += ',';
        s += at(r, c);
    }
    return s;
}

GridText vectorGrid(const Vec& v, int L, bool zeros) {
    if (L < 0) throw VeltaError("Недопустимая длина вектора: " + std::to_string(L));
    GridText g(4, L + 3);
    g.at(0, 0) = " Номера  компонент";
    g.at(2, 0) = "Значения компонент";
    for (int i = 1; i <= L; ++i) {
        g.at(0, i + 1) = CStr(i);
        g.at(2, i + 1) = zeros ? std::string("0") : CStr(v(i));
    }
    return g;
}

// ---------------------------------------------------------------- ParReader

void ParReader::Head_Input(int k) {
    checkSlot(k);
    for (int j = 0; j < 2; ++j) {
        std::string& line = g_.HEAD[static_cast<std::size_t>(k)][static_cast<std::size_t>(j)];
        line = in_.readLine();
        echo(line);
    }
}

void ParReader::Key_InputI(const std::string& label, i16& var) {
    const std::string text = keyValue(in_, label);
    try {
        var = textToI16(text);
    } catch (const std::exception&) {
        in_.fail("целое значение " + label + ", прочитано «" + quoteInput(text) + "»");
    }
    echo(label + " = " + CStr(var));
}

void ParReader::Key_InputR(const std::string& label, double& var) {
    const std::string text = keyValue(in_, label);
    try {
        var = textToReal(text);
    } catch (const std::exception&) {
        in_.fail("число " + label + ", прочитано «" + quoteInput(text) + "»");
    }
    echo(label + " = " + CStr(var));
}

void ParReader::skipLine() { in_.readLine(); }

std::vector<i16> ParReader::readList(int limit, const std::string& key, int hi, const std::string& hiName) {
    const std::string line = in_.readLine();
    std::vector<i16> items;
    if (line.empty()) return items;
    const auto pieces = split(line, ',');
    const std::size_t used = std::min(pieces.size(), static_cast<std::size_t>(std::max(limit, 0)));
    for (std::size_t j = 0; j < used; ++j) {
        const std::string item = key.empty() ? std::string("целое число в списке")
                                             : "целое " + key + "(" + CStr(static_cast<int>(j + 1)) + ")";
        try {
            items.push_back(textToI16(pieces[j]));
        } catch (const std::exception&) {
            in_.fail(item + ", прочитано «" + quoteInput(pieces[j]) + "»");
        }
        // A number that indexes a vector is checked here, on its own line.
        if (!key.empty() && (items.back() < 1 || items.back() > hi))
            in_.fail(key + "(" + CStr(static_cast<int>(j + 1)) + ") от 1 до " + hiName + " = " + CStr(hi) +
                     ", прочитано «" + quoteInput(pieces[j]) + "»");
    }
    return items;
}

double ParReader::readNumber() { return in_.readNumber(); }

void ParReader::skipEmptyValueLine() { in_.skipEmptyLine(); }

void ParReader::echo(const std::string& text) { chk_.line(text); }

// ---------------------------------------------------------------- check file, reading

std::unique_ptr<TextWriter> createCheckFile(const AppPaths& paths, bool blankThirdLine) {
    auto chk = TextWriter::create(paths.userFile("Input.chk"));
    chk->line("Контроль ввода исходных данных:");
    chk->line("-------------------------------");
    if (blankThirdLine) chk->line(" ");
    return chk;
}

void readParFile(Store& g, const AppPaths& paths, const std::string& dataPath,
                 const std::function<void(ParReader&)>& fn, bool blankThirdLine) {
    auto chk = createCheckFile(paths, blankThirdLine);
    std::unique_ptr<TextReader> in;
    try {
        in = openDataFile(dataPath);  // with the values of --set, if any
    } catch (...) {
        chk->closeAfterError();
        throw;
    }
    std::string message;
    try {
        ParReader reader(g, *in, *chk);
        fn(reader);
        chk->close();
        return;
    } catch (const FileWriteError&) {
        // The check file could not be written: that, not the data file, is the error.
        chk->closeAfterError();
        throw;
    } catch (const std::exception& e) {
        message = e.what();
        if (message.rfind(kReadErrorPrefix, 0) != 0) {
            // Not a reader's own message: say where the reading stood.
            try {
                in->fail("допустимое значение (" + message + ")");
            } catch (const VeltaError& located) {
                message = located.what();
            }
        }
    }
    in.reset();
    chk->closeAfterError();
    throw VeltaError(message);
}

// ---------------------------------------------------------------- writers

void Vect_File(TextWriter& f, const std::string& title, int n, const GridText& g) {
    f.line(title);
    f.line(g.joinRow(2, 2, n + 1));
}

void VectTau_File(TextWriter& f, const std::string& title, int ltau, const GridText& g) {
    f.line(title);
    f.line(g.joinRow(2, 2, ltau + 1));
}

void VectRow_File(TextWriter& f, const std::string& title, int r, int n, const GridText& g) {
    f.line(title);
    f.line(g.joinRow(r, 2, n + 2));
}

void VectM_File(TextWriter& f, const std::string& title, int r, int mdim, const GridText& g) {
    f.line(title);
    f.line(g.joinRow(r, 2, mdim + 1));
}

void Colm_File(TextWriter& f, const std::string& title, int n, const GridText& g) {
    f.line(title);
    f.line(g.joinCol(2, 2, n + 1));
}

void Matr_File(TextWriter& f, int n, const GridText& g) {
    for (int i = 1; i <= n; ++i) f.line(g.joinRow(i + 1, 2, n + 1));
    f.line("");
}

void MatrTau_File(TextWriter& f, int mdim, int ltau, const GridText& g) {
    const int m = mdim;
    for (int b = 1; b <= m; ++b)
        for (int r = 2; r <= ltau + 1; ++r) f.line(g.joinRow(r, (b - 1) * m + 2, b * m + 1));
    f.line("");
}

void Head_File(const Store& g, TextWriter& f, int k) {
    checkSlot(k);
    f.line(g.HEAD[static_cast<std::size_t>(k)][0]);
    f.line(g.HEAD[static_cast<std::size_t>(k)][1]);
}

void Key_File(TextWriter& f, const std::string& key, const std::string& text) { f.line(key + " = " + text); }

std::vector<std::uint32_t> Grid_Paint(int lastCol, int lastRow) {
    if (lastCol < 0 || lastRow < 0)
        throw VeltaError("Недопустимые границы таблицы: " + std::to_string(lastRow) + " x " +
                         std::to_string(lastCol));
    constexpr std::uint32_t white = 0x00FFFFFF;
    constexpr std::uint32_t grey = 0x00E0E0E0;  // RGB(224,224,224)
    const int w = lastCol + 1;
    std::vector<std::uint32_t> colours(static_cast<std::size_t>((lastRow + 1) * w), white);
    for (int r = 1; r <= lastRow; ++r)
        for (int c = 1; c <= lastCol; ++c)
            if (r == 1 || r == lastRow || c == 1 || c == lastCol)
                colours[static_cast<std::size_t>(r * w + c)] = grey;
    return colours;
}

}  // namespace velta
