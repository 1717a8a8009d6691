#include "data/forms/sheets.h"

#include "data/error.h"
#include "data/numtext.h"

#include <QLabel>

#include <algorithm>

namespace velta {

namespace {

// "n) text", the numbered heading of a block.
QString numbered(int number, const char* text) {
    return QStringLiteral("%1) ").arg(number) + QString::fromUtf8(text);
}

}  // namespace

// ---------------------------------------------------------------- field texts

void PlaneWidgets::showXo(const Store& g, bool zeros) const {
    xo->setVectorGrid(vectorGrid(g.XP, g.NDIM, zeros));
}

void PlaneWidgets::showN(const Store& g, bool zeros) const {
    n->setVectorGrid(vectorGrid(g.FP, g.NDIM, zeros));
}

void PlaneWidgets::read(PlaneFields& f) const {
    f.xp = xo->text();
    f.fp = n->text();
}

// ---------------------------------------------------------------- texts shown alike

const QStringList& periodNotes() {
    static const QStringList l = {QStringLiteral("LSCREEN = 1 - да,"), QStringLiteral("LSCREEN = 0 - нет"),
                                  QStringLiteral("(поиск min W(t), TMIN <= t <= TMAX)")};
    return l;
}

const QStringList& threePlaneNotes() {
    static const QStringList l = {QStringLiteral("LGRAPH = 1 - в физической плоскости,"),
                                  QStringLiteral("LGRAPH = 2 - в фазовой плоскости,"),
                                  QStringLiteral("LGRAPH = 3 - в плоскости Пуанкаре "),
                                  QStringLiteral("(LSCREEN = 0 при LGRAPH = 2,3).")};
    return l;
}

const QStringList& twoPlaneNotes() {
    static const QStringList l = {QStringLiteral("LGRAPH = 1 - в физической плоскости,"),
                                  QStringLiteral("LGRAPH = 2 - в фазовой плоскости"),
                                  QStringLiteral("(LSCREEN = 0 при LGRAPH = 2).")};
    return l;
}

const QStringList& portionNotes() {
    static const QStringList l = {QStringLiteral("LSTEP = 0 - непрерывная выдача на отрезке [0,TMAX],"),
                                  QStringLiteral("LSTEP > 0 - порция шагов интегрирования c непрерывной"),
                                  QStringLiteral("выдачей - до изменения TMAX. В дальнейшем LSTEP = 0.")};
    return l;
}

const QStringList& plotCountNotes() {
    static const QStringList l = {QStringLiteral("(NCOMP <= 12"),
                                  QStringLiteral("NCOMP <= NDIM при LGRAPH = 1"),
                                  QStringLiteral("NCOMP  = 2    при LGRAPH = 2,3)")};
    return l;
}

const BoundLines& alfaBounds() {
    static const BoundLines b = {
        {QStringLiteral("ALFA * DLX <= X(i) <= ALFA * DRX"),
         QStringLiteral("ALFA * DLW <=  W   <= ALFA * DRW"), QStringLiteral("SCLT <=  t   <= TMAX")},
        {0, 0, 6}};
    return b;
}

// ---------------------------------------------------------------- sheets

int SheetForm::addRows(int sheet, int y, int labelWidth, std::initializer_list<Row> rows, int fieldWidth) {
    bool first = true;
    for (const Row& r : rows) {
        if (!first) y += kRow;
        first = false;
        r.edit = addField(sheet, 20, y, labelWidth, QString::fromUtf8(r.label), QString::fromUtf8(r.name),
                          fieldWidth);
    }
    return y;
}

void SheetForm::addNotes(int sheet, int x, int y, const QStringList& lines, bool hanging) {
    for (int i = 0; i < lines.size(); ++i) {
        QLabel* l = addLabel(sheet, x, y + i * kLine, lines[i]);
        if (i == 0 && hanging) x += l->fontMetrics().horizontalAdvance(QStringLiteral("("));
    }
}

void SheetForm::addBoundLines(int sheet, int x, int y, const BoundLines& bounds) {
    const QFont mono(QStringLiteral("Liberation Mono"), 9);
    for (int i = 0; i < bounds.lines.size(); ++i) {
        QLabel* l = addLabel(sheet, x, y + i * kLine, QString());
        l->setFont(mono);
        l->setText(bounds.lines[i]);
        if (i < static_cast<int>(bounds.shifts.size()))
            l->move(l->x() + l->fontMetrics().horizontalAdvance(QString(bounds.shifts[i], QLatin1Char(' '))),
                    l->y());
        l->resize(l->sizeHint().width() + 4, l->height());
    }
}

int SheetForm::addHeading(int sheet, int y, int number, const char* text) {
    addLabel(sheet, 10, y, numbered(number, text));
    return y + 26;
}

void SheetForm::addInitialData(int y, QLineEdit*& i1n, QLineEdit*& xi1) {
    addLabel(1, 10, y, QStringLiteral("2) Начальные данные:  X(i) = 0, i = 1,...,NDIM"));
    addRows(1, y + 28, 260,
            {{i1n, "Номера ненулевых компонент,  i1,...:", "txtI1N"},
             {xi1, "Значения ненулевых компонент,  X(i1),...:", "txtXI1"}},
            430);
}

PlaneWidgets SheetForm::addPlaneSheet(int sheet, int number, const QString& xoName, const QString& nName) {
    PlaneWidgets p;
    addLabel(sheet, 10, 8, numbered(number, "Задание плоскости Пуанкаре: (N, X-Xo) = 0"));
    addLabel(sheet, 20, 44, QStringLiteral("Компоненты вектора  Xo"));
    p.xo = addGrid(sheet, 20, 68, xoName);
    addLabel(sheet, 20, 196, QStringLiteral("Компоненты вектора нормали  N"));
    p.n = addGrid(sheet, 20, 220, nName);
    return p;
}

int SheetForm::addPeriod(int sheet, int y, int number, int labelWidth, int notesX, const QStringList& notes,
                         QLineEdit*& lscreen) {
    y = addHeading(sheet, y, number, "Определение периода:");
    lscreen = addField(sheet, 20, y, labelWidth, QStringLiteral("LSCREEN ="), QStringLiteral("txtLscreen"));
    addNotes(sheet, notesX, y, notes);
    return y;
}

int SheetForm::addPlotKind(int sheet, int y, int number, int labelWidth, int notesX, const QStringList& notes,
                           QLineEdit*& lgraph) {
    y = addHeading(sheet, y, number, "Графическое представление результатов:");
    lgraph = addField(sheet, 20, y, labelWidth, QStringLiteral("LGRAPH ="), QStringLiteral("txtLgraph"));
    addNotes(sheet, notesX, y, notes);
    return y;
}

RunWidgets SheetForm::addRunSheet(int sheet, int number, const RunNotes& notes,
                                  FieldLinks<NetworkFields>* step) {
    const int lw = 330;
    const RunKeys& keys = runKeys();
    RunWidgets w;
    addLabel(sheet, 10, 8, numbered(number, "Параметры интегрирования"));
    int y = addKeyRows(sheet, 20, 36, lw, keys.run, 0, w.links);
    y = addHeading(sheet, y + 38, number + 1, "Определение периода:");
    addKeyRows(sheet, 20, y, lw, keys.run, 1, w.links);
    addNotes(sheet, notes.x, y, notes.period);
    y = addHeading(sheet, y + 2 * kRow + 36, number + 2, "Графическое представление результатов:");
    addKeyRows(sheet, 20, y, lw, keys.run, 2, w.links);
    addNotes(sheet, notes.x, y, notes.kind);
    if (step) {
        y = addHeading(sheet, y + 4 * kLine + 22, number + 3, "Порции выдачи результатов на график:");
        addKeyRows(sheet, 20, y, lw, keys.step, 0, step->links);
        addNotes(sheet, notes.portionX, y + kRow + 4, notes.portion);
    }
    return w;
}

int SheetForm::addPlotList(int sheet, int number, QLineEdit*& i1g, int notesX, const QStringList& notes,
                           bool hanging) {
    addLabel(sheet, 10, 8, numbered(number, "Номера компонент, выводимых на график"));
    const int y = 36;
    i1g = addField(sheet, 20, y, 0, QString(), QStringLiteral("txtI1G"), 300);
    addNotes(sheet, notesX, y + kRow + 2, notes, hanging);
    return y + kRow + static_cast<int>(notes.size()) * kLine + 30;
}

ScaleWidgets SheetForm::addScaleBlocks(int sheet, int y, int number, int boundsX, const BoundLines& bounds) {
    const int lw = 120;
    ScaleWidgets w;
    addLabel(sheet, 10, y, numbered(number, "Плотность выдачи результатов в таблицу"));
    y = addKeyRows(sheet, 20, y + 28, lw, scaleKeys(), 0, w.links);
    addLabel(sheet, 10, y += kRow + 30,
             numbered(number + 1, "Границы интервалов для графиков (в долях ALFA):"));
    y += 28;
    addKeyRows(sheet, 20, y, lw, scaleKeys(), 1, w.links);
    addBoundLines(sheet, boundsX, y + 14, bounds);
    return w;
}

// ---------------------------------------------------------------- checks at "Ввод"

namespace fieldcheck {

void checkIndexes(const std::string& text, int n, const std::string& what) {
    for (const std::string& item : listItems(text)) {
        i16 k = 0;
        try {
            k = textToI16(item);
        } catch (const std::exception&) {
            fail("Недопустимый номер " + what + ": «" + item + "»");
        }
        if (k < 1 || k > n)
            fail("Номер " + what + " " + CStr(k) + " вне диапазона 1..NDIM (NDIM = " + CStr(n) + ")");
    }
}

void checkNetworkTexts(const NetworkFields& f, int n) {
    checkIndexes(f.i1n, n, "ненулевой компоненты");
    const std::size_t nk = listItems(f.i1n).size(), nv = listItems(f.xi1).size();
    if (nk > static_cast<std::size_t>(n)) fail("Номеров ненулевых компонент больше, чем NDIM = " + CStr(n));
    if (nv != nk)
        fail("Число значений ненулевых компонент (" + CStr(static_cast<int>(nv)) +
             ") не совпадает с числом их номеров (" + CStr(static_cast<int>(nk)) + ")");
    checkIndexes(f.i1g, n, "компоненты графика");
    const std::size_t ncomp = std::min(listItems(f.i1g).size(), static_cast<std::size_t>(n));
    if (ncomp > 12)
        fail("На график можно вывести не более 12 компонент (NCOMP = " + CStr(static_cast<int>(ncomp)) + ")");
    if (!(keyReal("HHH", f.hhh) > 0))
        fail("Шаг интегрирования HHH должен быть больше 0 (HHH = " + f.hhh + ")");
    if (keyInt("NSC", f.nsc) < 1)
        fail("Плотность выдачи в таблицу NSC должна быть не меньше 1 (NSC = " + f.nsc + ")");
    if (keyInt("LSTEP", f.lstep) < 0)
        fail("Порция шагов LSTEP не должна быть отрицательной (LSTEP = " + f.lstep + ")");
}

}  // namespace fieldcheck

}  // namespace velta
