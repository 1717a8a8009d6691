#include "stationary/section3/frmUni_3.h"

#include <QLabel>

namespace velta {

frmUni_3::frmUni_3(FormHost& host)
    : SheetForm(host, 3, QStringLiteral("Устойчивость циркулянта"), 2,
                FormButtons{"cmdInput4", "cmdCancel4", "cmdHelp4"}) {
    // ---- sheet 1: the model
    addLabel(1, 10, 8, QStringLiteral("1) Параметры модели  M(NDIM,KMOD) классов 1-4"));
    addKeyRows(1, 20, 36, 420, Sec3::keys(), 1, fields_);

    // ---- sheet 2: the ALFA range and the scale of the plot
    int y = 8;
    addLabel(2, 10, y, QStringLiteral("2) Параметры построения зависимости U от ALFA."));
    addLabel(2, 10, y += kLine,
             QStringLiteral("    Область изменения ALFA и масштабы для графика U=U(ALFA):"));
    // The two ranges are aligned by blanks: a fixed-pitch font keeps them in columns.
    const QFont mono(QStringLiteral("Liberation Mono"), 9);
    for (const char* line : {"              Amin <= ALFA <= Amax", "              Umin <=  U   <= Umax"}) {
        QLabel* l = addLabel(2, 10, y += kLine, QString());
        l->setFont(mono);
        l->setText(QString::fromUtf8(line));
        l->resize(l->sizeHint().width() + 4, l->height());
    }
    addKeyRows(2, 20, y + 36, 420, Sec3::keys(), 2, fields_);
}

void frmUni_3::fillFields() { showTexts(fields_, Sec3::fieldsFromStore(host_.store())); }

// The window has no grids, and no field sizes one.
void frmUni_3::fillGrids(bool) {}

void frmUni_3::setDimension(i16) {}

Sec3::Fields frmUni_3::currentFields() const {
    Sec3::Fields f;
    readTexts(fields_, f);
    return f;
}

void frmUni_3::writeDataFile(const std::string& path) {
    const Sec3::Fields f = currentFields();
    Sec3::keys().check(f);
    Sec3::Table_File(host_.store(), path, f);
}

}  // namespace velta
