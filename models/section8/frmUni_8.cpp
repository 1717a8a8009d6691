#include "models/section8/frmUni_8.h"

namespace velta {

frmUni_8::frmUni_8(FormHost& host) : PlaneForm(host, 8, QStringLiteral("ГС экологической природы"), 4) {
    addNetworkModel(net_, QStringLiteral("1) Параметры модели  E(NDIM,KMOD) классов 1-4"),
                    symmetricModelKeys(),
                    "После изменения  NDIM  не забудьте\nскорректировать таблицы на Листе #2");
    plane_ = addPlaneSheet(2, 3, QStringLiteral("grdTable1"), QStringLiteral("grdTable2"));
    net_.run = addRunSheet(3, 4, {505, periodNotes(), threePlaneNotes(), 48, portionNotes()}, &net_.step);
    const int y = addPlotList(4, 8, net_.i1g, 48, plotCountNotes(), true);
    net_.scale = addScaleBlocks(4, y, 9, 380, alfaBounds());
}

Sec8::Fields frmUni_8::currentFields() const {
    Sec8::Fields f;
    net_.read(f);
    plane_.read(f);
    return f;
}

void frmUni_8::writeDataFile(const std::string& path) {
    const Sec8::Fields f = currentFields();
    fieldcheck::checkNetworkTexts(f, planeLength(f));
    fieldcheck::checkNetworkKeys(symmetricModelKeys(), f);
    Sec8::Table_File(host_.store(), path, f);
}

}  // namespace velta
