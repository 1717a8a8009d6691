#include "stationary/section3/frmUni_3.h"

#include "data/error.h"
#include "data/forms/qtext.h"
#include "data/numtext.h"
#include "stationary/fieldtext.h"

#include <QLabel>

#include <exception>

namespace velta {

using namespace sheetgrid;

frmUni_3::frmUni_3(FormHost& host)
    : SectionForm(host, 3, QStringLiteral("Устойчивость циркулянта"), 2,
                  FormButtons{"cmdInput4", "cmdCancel4", "cmdHelp4"}) {
    // ---- sheet 1: the model
    addLabel(1, 10, 8, QStringLiteral("1) Параметры модели  M(NDIM,KMOD) классов 1-4"));
    const int lw1 = 420;
    int y = 36;
    txtMclass = addField(1, 20, y, lw1, QStringLiteral("Номер класса,  MCLASS ="),
                         QStringLiteral("txtMclass"));
    txtNdim = addField(1, 20, y += kRow, lw1,
                       QStringLiteral("Число элементов ГГС (размерность системы),  NDIM ="),
                       QStringLiteral("txtNdim"));
    txtKmod = addField(1, 20, y += kRow, lw1,
                       QStringLiteral("Число элементов, объединенных регуляторными связями,  KMOD ="),
                       QStringLiteral("txtKmod"));
    txtBeta = addField(1, 20, y += kRow, lw1, QStringLiteral("BETA ="), QStringLiteral("txtBeta"));
    txtGama = addField(1, 20, y += kRow, lw1, QStringLiteral("GAMA ="), QStringLiteral("txtGama"));

    // ---- sheet 2: the ALFA range and the scale of the plot
    addLabel(2, 10, y = 8, QStringLiteral("2) Параметры построения зависимости U от ALFA."));
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
    const int lw2 = 420;
    y += 36;
    txtAmin = addField(2, 20, y, lw2, QStringLiteral("Amin ="), QStringLiteral("txtAmin"));
    txtAmax = addField(2, 20, y += kRow, lw2, QStringLiteral("Amax ="), QStringLiteral("txtAmax"));
    txtUmin = addField(2, 20, y += kRow, lw2, QStringLiteral("Umin ="), QStringLiteral("txtUmin"));
    txtUmax = addField(2, 20, y += kRow, lw2, QStringLiteral("Umax ="), QStringLiteral("txtUmax"));
    txtNdel = addField(2, 20, y += kRow, lw2, QStringLiteral("Число разбиений отрезка [Amin,Amax],  NDEL ="),
                       QStringLiteral("txtNdel"));
}

std::vector<KeyedField<Sec3::Fields>> frmUni_3::fields() const {
    using F = Sec3::Fields;
    return {{txtMclass, &F::mclass, "MCLASS", true}, {txtNdim, &F::ndim, "NDIM", true},
            {txtKmod, &F::kmod, "KMOD", true},       {txtBeta, &F::beta, "BETA", false},
            {txtGama, &F::gama, "GAMA", false},      {txtAmin, &F::amin, "Amin", false},
            {txtAmax, &F::amax, "Amax", false},      {txtUmin, &F::umin, "Umin", false},
            {txtUmax, &F::umax, "Umax", false},      {txtNdel, &F::ndel, "NDEL", true}};
}

void frmUni_3::fillFields() { showKeyed(fields(), Sec3::fieldsFromStore(host_.store())); }

// The window has no grids, and no field sizes one.
void frmUni_3::fillGrids(bool) {}

void frmUni_3::setDimension(i16) {}

Sec3::Fields frmUni_3::currentFields() const { return readKeyed(fields()); }

void frmUni_3::writeDataFile(const std::string& path) {
    const Sec3::Fields f = currentFields();
    checkKeyed(fields(), f);
    Sec3::Table_File(host_.store(), path, f);
}

}  // namespace velta
