// Base of the input windows of the delay models (1.2, 2.2, 5.1.2, 5.2.2): the delay block of
// sheet 1, the delay grid on sheet 2, integration, initial data and plotted components on
// sheet 3, table density and plot bounds on sheet 4. The labelled fields are laid out from
// the file's key tables; each window keeps the links of its fields to its texts.
#pragma once
#include "data/datafile.h"
#include "data/forms/sheets.h"
#include "models/delay/delaydata.h"

#include <initializer_list>
#include <string>
#include <vector>

namespace velta {

class DelayForm : public SheetForm {
protected:
    using SheetForm::SheetForm;

    // "2) Параметры уравнений с запаздываниями" at y on sheet 1 and the rows of block 2 of
    // `keys` under it, labels lw wide; LTAU sizes the delay grid.
    template <class F>
    void addDelayBlock(int y, int lw, const KeyTable<Store, F>& keys, std::vector<FieldText<F>>& links) {
        addLabel(1, 10, y, QStringLiteral("2) Параметры уравнений с запаздываниями"));
        addKeyRows(1, 20, y + 28, lw, keys, 2, links);
        setSizingField(fieldOf(links, &F::ltau), "LTAU",
                       "После изменения  LTAU  не забудьте\nскорректировать таблицу на Листе #2");
    }

    // Sheets 2 to 4 with the fields of blocks 3 to 7 linked to the texts F; inPeriods: the
    // delays are shares of the period PTAU; systemLines: the method text of sheet 3 names
    // the system and [0,TMAX].
    template <class F>
    void addDelaySheets(std::vector<FieldText<F>>& links, bool inPeriods = true, bool systemLines = true) {
        using D = DelayRunKeys<F>;
        addTauSheet(inPeriods);
        // ---- sheet 3: integration, initial function, plotted components
        int y = addMethodNotes(systemLines);
        y = addKeyRows(3, 20, y + 26, 120, KeyTable{D::step}, 3, links);
        y = addStartNotes(y + 40);
        y = addKeyRows(3, 20, y + 26, {120, 260}, KeyTable{D::start}, 4, links);
        links.push_back({addComponentList(y + 40), &F::i1g});
        // ---- sheet 4: table density and plot bounds
        addLabel(4, 10, 8, QStringLiteral("6) Плотность выдачи результатов в таблицу"));
        y = addKeyRows(4, 20, 36, 120, KeyTable{D::tail}, 6, links) + kRow + 30;
        addLabel(4, 10, y, QStringLiteral("7) Границы интервалов для графиков (в долях ALFA):"));
        addKeyRows(4, 20, y + 28, 120, KeyTable{D::tail}, 7, links);
        addBoundNotes(y + 28);
    }
    // The delay grid g of n delays.
    void showTauGrid(const GridText& g, int n);

    FormGrid* grdTable1 = nullptr;

private:
    // Sheet 2: the heading and the delay grid.
    void addTauSheet(bool inPeriods);
    // The method text at the top of sheet 3; returns the y of its last line.
    int addMethodNotes(bool systemLines);
    // The text about the initial data from y on; returns the y of its last line.
    int addStartNotes(int y);
    // The heading of the plotted components from y on and their list field under it.
    QLineEdit* addComponentList(int y);
    // The plot bounds beside the rows from y on sheet 4.
    void addBoundNotes(int y);
    // Column 2 (the values) wide, the others narrow; a long list scrolls within the sheet.
    void fitTauGrid();
};

}  // namespace velta
