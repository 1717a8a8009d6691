// Pieces the input windows of the autonomous sections (1.1, 2.1, 8, 9, 5.1.1, 5.2.1) share:
// the sheets and blocks they lay out alike, the field groups that carry the texts of the
// common data-file blocks, and the checks of the texts at "Ввод". Where two windows show a
// text differently, the text is a parameter and each window passes its own.
#pragma once
#include "data/forms/sectionform.h"
#include "data/keytable.h"
#include "data/textlist.h"
#include "models/autonomous.h"

#include <QStringList>

#include <initializer_list>
#include <string>
#include <vector>

namespace velta {

// ---------------------------------------------------------------- field texts

// A field and the text of a window's Fields it shows.
template <class F>
struct FieldText {
    QLineEdit* edit;
    std::string F::*text;
};

template <class F>
void showTexts(const std::vector<FieldText<F>>& links, const F& f) {
    for (const auto& l : links) l.edit->setText(QString::fromStdString(f.*l.text));
}

template <class F>
void readTexts(const std::vector<FieldText<F>>& links, F& f) {
    for (const auto& l : links) f.*l.text = l.edit->text().toStdString();
}

// The field of links that shows the text `text` (none: nullptr).
template <class F>
QLineEdit* fieldOf(const std::vector<FieldText<F>>& links, std::string F::*text) {
    for (const auto& l : links)
        if (l.text == text) return l.edit;
    return nullptr;
}

// The fields of a window laid out from a key table, and the texts they show.
template <class F>
struct FieldLinks {
    std::vector<FieldText<F>> links;
    void show(const F& f) const { showTexts(links, f); }
    void read(F& f) const { readTexts(links, f); }
};

// The run blocks: TMAX, HHH, LSCREEN, TMIN, LGRAPH.
using RunWidgets = FieldLinks<RunFields>;
// The table density NSC and the plot bounds in shares of ALFA.
using ScaleWidgets = FieldLinks<ScaleFields>;

// The grids of the Poincaré plane: Xo (XP) and the normal N (FP), NDIM components each.
struct PlaneWidgets {
    FormGrid *xo = nullptr, *n = nullptr;
    void showXo(const Store& g, bool zeros) const;
    void showN(const Store& g, bool zeros) const;
    void read(PlaneFields& f) const;
};

// The fields of the network windows (1.1, 2.1, 8) whose texts are the window's Fields F:
// the model, the initial data, the run with LSTEP, the plotted components, NSC and the
// bounds (the grids are the plane's).
template <class F>
struct NetworkWidgets {
    FieldLinks<F> model;
    QLineEdit *i1n = nullptr, *xi1 = nullptr, *i1g = nullptr;  // the lists
    FieldLinks<NetworkFields> step;                            // LSTEP
    RunWidgets run;
    ScaleWidgets scale;

    void show(const F& f) const {
        showTexts(lists(), static_cast<const NetworkFields&>(f));
        step.show(f);
        model.show(f);
        run.show(f);
        scale.show(f);
    }
    void read(F& f) const {
        readTexts(lists(), static_cast<NetworkFields&>(f));
        step.read(f);
        model.read(f);
        run.read(f);
        scale.read(f);
    }

private:
    std::vector<FieldText<NetworkFields>> lists() const {
        using N = NetworkFields;
        return {{i1n, &N::i1n}, {xi1, &N::xi1}, {i1g, &N::i1g}};
    }
};

// ---------------------------------------------------------------- texts shown alike

// Beside LSCREEN: "LSCREEN = 1 - да," ... "(поиск min W(t), TMIN <= t <= TMAX)".
const QStringList& periodNotes();
// Beside LGRAPH, for the physical, phase and Poincaré planes ("LGRAPH = 3 - в плоскости
// Пуанкаре " ends in a blank).
const QStringList& threePlaneNotes();
// Beside LGRAPH, for the physical and phase planes.
const QStringList& twoPlaneNotes();
// Under LSTEP.
const QStringList& portionNotes();
// Under the plotted components, for the three planes: "(NCOMP <= 12" ...
const QStringList& plotCountNotes();

// Lines of plot bounds in a fixed-pitch font; line i starts shifts[i] characters further
// right (none: no shift), so that the "<=" signs line up.
struct BoundLines {
    QStringList lines;
    std::vector<int> shifts;
};
// The bounds in shares of ALFA; the time line, six characters shorter on the left, starts
// six characters further right.
const BoundLines& alfaBounds();

// Explanations of the run sheet: beside LSCREEN and LGRAPH from x, under LSTEP from
// portionX.
struct RunNotes {
    int x;
    QStringList period, kind;
    int portionX = 0;
    QStringList portion;
};

// ---------------------------------------------------------------- sheets

// An input window whose sheets are laid out from the pieces below; coordinates are inside
// the frame of a sheet, as for addLabel and addField.
class SheetForm : public SectionForm {
public:
    using SectionForm::SectionForm;

protected:
    // Vertical pitch of the rows of a sheet and of the explanatory lines.
    static constexpr int kRow = 26;
    static constexpr int kLine = 18;

    // One field of a column: where its pointer goes, its label and its object name.
    struct Row {
        QLineEdit*& edit;
        const char* label;
        const char* name;
    };
    // Fields at x = 20, kRow apart from y, each label right-aligned in labelWidth before
    // its field. Returns the y of the last row.
    int addRows(int sheet, int y, int labelWidth, std::initializer_list<Row> rows, int fieldWidth = 110);
    // Rows of key-table entries shown in the window, kRow apart from (x, y): each entry's
    // label right-aligned in its label width (0: the label's own width) and its field after
    // it, named as the entry says; each field and the text it shows are appended to links.
    // They return the y of the last row.
    //   The entries of block `block` in the file's order; row i takes labelWidths[i] (the
    //   last width for the rows after it).
    template <class O, class F>
    int addKeyRows(int sheet, int x, int y, std::initializer_list<int> labelWidths, const KeyTable<O, F>& t,
                   int block, std::vector<FieldText<F>>& links, int fieldWidth = 110) {
        int head = 0, last = y;
        const int* lw = labelWidths.begin();
        for (const auto& k : t.entries()) {
            if (k.kind == Key<O, F>::Kind::Head) head = k.head;
            if (head != block || !k.field) continue;
            addKeyRow(sheet, x, last = y, *lw, k, k.label, links, fieldWidth);
            if (lw + 1 != labelWidths.end()) ++lw;
            y += kRow;
        }
        return last;
    }
    template <class O, class F>
    int addKeyRows(int sheet, int x, int y, int labelWidth, const KeyTable<O, F>& t, int block,
                   std::vector<FieldText<F>>& links, int fieldWidth = 110) {
        return addKeyRows(sheet, x, y, {labelWidth}, t, block, links, fieldWidth);
    }
    //   The keys named in the window's order, each with the table's label or the window's own.
    struct KeyRow {
        const char* key;
        const char* label = nullptr;
    };
    template <class O, class F>
    int addKeyRows(int sheet, int x, int y, int labelWidth, const KeyTable<O, F>& t,
                   std::initializer_list<KeyRow> rows, std::vector<FieldText<F>>& links,
                   int fieldWidth = 110) {
        int last = y;
        for (const KeyRow& r : rows) {
            const auto& k = t.entry(r.key);
            addKeyRow(sheet, x, last = y, labelWidth, k, r.label ? r.label : k.label, links, fieldWidth);
            y += kRow;
        }
        return last;
    }
    template <class O, class F>
    QLineEdit* addKeyRow(int sheet, int x, int y, int labelWidth, const Key<O, F>& k, const char* label,
                         std::vector<FieldText<F>>& links, int fieldWidth = 110) {
        const QString text = QString::fromUtf8(label);
        const int lw = labelWidth > 0 ? labelWidth : fontMetrics().horizontalAdvance(text) + 8;
        QLineEdit* e = addField(sheet, x, y, lw, text, QString::fromUtf8(k.field), fieldWidth);
        links.push_back({e, k.text});
        return e;
    }
    // Explanatory lines kLine apart from (x, y). With hanging, the lines after the first
    // start under the text after its opening parenthesis.
    void addNotes(int sheet, int x, int y, const QStringList& lines, bool hanging = false);
    // Plot bounds kLine apart from (x, y).
    void addBoundLines(int sheet, int x, int y, const BoundLines& bounds);

    // Sheet 1 of the network windows: the rows of block 1 of the section's model keys under
    // the heading, then "2) Начальные данные" with i1,... and X(i1),...; NDIM sizes the grids.
    template <class F>
    void addNetworkModel(NetworkWidgets<F>& w, const QString& heading, const KeyTable<Store, F>& model,
                         const std::string& reminder) {
        addLabel(1, 10, 8, heading);
        const int y = addKeyRows(1, 20, 36, 420, model, 1, w.model.links);
        addInitialData(y + 48, w.i1n, w.xi1);
        setSizingField(fieldOf(w.model.links, &F::ndim), "NDIM", reminder);
    }
    // "n) Задание плоскости Пуанкаре: (N, X-Xo) = 0" with the grids of Xo and N.
    PlaneWidgets addPlaneSheet(int sheet, int number, const QString& xoName, const QString& nName);

    // "n) Определение периода:" at y, LSCREEN 26 below it, the notes beside it from notesX.
    // Returns the y of the LSCREEN row. (The run sheet lays out its own from the run keys.)
    int addPeriod(int sheet, int y, int number, int labelWidth, int notesX, const QStringList& notes,
                  QLineEdit*& lscreen);
    // "n) Графическое представление результатов:" at y, LGRAPH 26 below it, the notes
    // beside it from notesX. Returns the y of the LGRAPH row.
    int addPlotKind(int sheet, int y, int number, int labelWidth, int notesX, const QStringList& notes,
                    QLineEdit*& lgraph);

    // The run sheet laid out from the run keys: "n) Параметры интегрирования" (TMAX, HHH),
    // the period (LSCREEN, TMIN), the plot kind and, when step is given, "n+3) Порции
    // выдачи результатов на график:" with LSTEP.
    RunWidgets addRunSheet(int sheet, int number, const RunNotes& notes,
                           FieldLinks<NetworkFields>* step = nullptr);

    // "n) Номера компонент, выводимых на график" with the list field txtI1G and the notes
    // under it from notesX. Returns the y of the next heading.
    int addPlotList(int sheet, int number, QLineEdit*& i1g, int notesX = 0, const QStringList& notes = {},
                    bool hanging = false);
    // "n) Плотность выдачи результатов в таблицу" at y with NSC, then "n+1) Границы
    // интервалов для графиков (в долях ALFA):" with DLX ... SCLT and the bound lines
    // beside them from boundsX; the rows come from the scale keys.
    ScaleWidgets addScaleBlocks(int sheet, int y, int number, int boundsX, const BoundLines& bounds);

private:
    // "n) text" at (10, y); returns the y of the row under it.
    int addHeading(int sheet, int y, int number, const char* text);
    // "2) Начальные данные" at y on sheet 1 with the lists i1,... and X(i1),... under it.
    void addInitialData(int y, QLineEdit*& i1n, QLineEdit*& xi1);
};

// A window with the grids of the Poincaré plane (sections 1.1, 2.1, 8, 9), sized by NDIM.
class PlaneForm : public SheetForm {
public:
    using SheetForm::SheetForm;

    // Grids of Xo (XP) and of the normal N (FP) at NDIM components.
    void Tabl1_Dspl(bool zeros) { plane_.showXo(host_.store(), zeros); }
    void Tabl2_Dspl(bool zeros) { plane_.showN(host_.store(), zeros); }

protected:
    void fillGrids(bool zeros) override {
        Tabl1_Dspl(zeros);
        Tabl2_Dspl(zeros);
    }
    void setDimension(i16 n) override { host_.store().NDIM = n; }

    PlaneWidgets plane_;
};

// ---------------------------------------------------------------- checks at "Ввод"

// A file that its reading or the computation would refuse is not written: the window
// stays open with the texts as typed.
namespace fieldcheck {

// Component numbers of a list, each within 1..n; what names them in the messages.
void checkIndexes(const std::string& text, int n, const std::string& what);
// The network windows (2.1, 8): the lists agree with NDIM = n (an index list longer than
// the value list, or the other way round, shifts every later block of the file), and the
// step, the table density and the portion are usable.
void checkNetworkTexts(const NetworkFields& f, int n);
// Then every text of the model, run, LSTEP and scale keys as their reading converts it:
// a file the reading would refuse is not written.
template <class F>
void checkNetworkKeys(const KeyTable<Store, F>& model, const F& f) {
    model.check(f);
    runKeys().run.check(f);
    runKeys().step.check(f);
    scaleKeys().check(f);
}

}  // namespace fieldcheck

}  // namespace velta
