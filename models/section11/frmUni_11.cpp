#include "models/section11/frmUni_11.h"

namespace velta {

namespace {

// The explanations of this window stand indented by blanks.
const RunNotes kRunNotes = {500,
                            {QStringLiteral("    LSCREEN = 1 - да,"), QStringLiteral("    LSCREEN = 0 - нет"),
                             QStringLiteral("    (поиск min W(t), TMIN <= t <= TMAX)    ")},
                            {QStringLiteral("    LGRAPH = 1 - в физической плоскости,"),
                             QStringLiteral("    LGRAPH = 2 - в фазовой плоскости,"),
                             QStringLiteral("    LGRAPH = 3 - в плоскости Пуанкаре "),
                             QStringLiteral("    (LSCREEN = 0 при LGRAPH = 2,3).")},
                            20,
                            {QStringLiteral("    LSTEP = 0 - непрерывная выдача на отрезке [0,TMAX],"),
                             QStringLiteral("    LSTEP > 0 - порция шагов интегрирования c непрерывной"),
                             QStringLiteral("    выдачей - до изменения TMAX. В дальнейшем LSTEP = 0.")}};

const QStringList kPlotCountNotes = {QStringLiteral("    (NCOMP <= 12"),
                                     QStringLiteral("     NCOMP <= NDIM при LGRAPH = 1"),
                                     QStringLiteral("     NCOMP  = 2    при LGRAPH = 2,3)")};

// The three bounds are aligned by blanks: a fixed-pitch font keeps them in columns.
const BoundLines kBounds = {{QStringLiteral("           ALFA * DLX <= X(i) <= ALFA * DRX"),
                             QStringLiteral("           ALFA * DLW <=  W   <= ALFA * DRW"),
                             QStringLiteral("                 SCLT <=  t   <= TMAX")},
                            {}};

}  // namespace

frmUni_11::frmUni_11(FormHost& host)
    : PlaneForm(host, 11, QStringLiteral("Симметричные ГГС\\Автономная система"), 4) {
    addNetworkModel(net_, QStringLiteral("1) Параметры модели  M(NDIM,KMOD) классов 1-4"),
                    symmetricModelKeys(),
                    "После изменения  NDIM  не забудьте\nскорректировать таблицы на Листе #2");
    plane_ = addPlaneSheet(2, 3, QStringLiteral("grdTable1"), QStringLiteral("grdTable2"));
    net_.run = addRunSheet(3, 4, kRunNotes, &net_.step);
    const int y = addPlotList(4, 8, net_.i1g, 20, kPlotCountNotes);
    net_.scale = addScaleBlocks(4, y, 9, 300, kBounds);
}

Sec11::Fields frmUni_11::currentFields() const {
    Sec11::Fields f;
    net_.read(f);
    plane_.read(f);
    return f;
}

void frmUni_11::writeDataFile(const std::string& path) {
    const Sec11::Fields f = currentFields();
    // The same checks at "Ввод" as the other network windows (2.1, 8).
    fieldcheck::checkNetworkTexts(f, planeLength(f));
    Store& g = host_.store();
    checkByReading(
        path, [&](const std::string& p) { Sec11::Table_File(g, p, f); }, [&g] { Sec11::checkLimits(g); });
    Sec11::Table_File(g, path, f);
}

}  // namespace velta
