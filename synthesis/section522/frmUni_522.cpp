#include "synthesis/section522/frmUni_522.h"

#include "data/forms/qtext.h"

namespace velta {

namespace {

constexpr int kLabel1 = 300;
constexpr int kPairWidth = 200;  // the combined fields hold two or three numbers

}  // namespace

frmUni_522::frmUni_522(FormHost& host)
    : SyzDelayForm(host, 522, QStringLiteral("Синтез\\Кодирование двумя ГЭ\\Уравнение с запаздыванием")) {
    int y = 8;
    addLabel(1, 10, y, QStringLiteral("1) Параметры модели"));
    txtAlfa_Alfa1_Alfa2 = addField(1, 20, y += 28, kLabel1, QStringLiteral(" ALFA, ALFA1, ALFA2 ="),
                                   QStringLiteral("txtAlfa_Alfa1_Alfa2"), kPairWidth);
    txtBeta1_Beta2 = addField(1, 20, y += kRow, kLabel1, QStringLiteral(" BETA1, BETA2 ="),
                              QStringLiteral("txtBeta1_Beta2"), kPairWidth);
    txtGama1_Gama2 = addField(1, 20, y += kRow, kLabel1, QStringLiteral(" GAMA1, GAMA2 ="),
                              QStringLiteral("txtGama1_Gama2"), kPairWidth);
    buildDelaySheets(y + kRow, QStringLiteral("TETA(1) ="), true);
}

void frmUni_522::fillFields() {
    const Sec522::Fields f = Sec522::fieldsFromStore(host_.store());
    txtAlfa_Alfa1_Alfa2->setText(q(f.alfa3));
    txtBeta1_Beta2->setText(q(f.beta12));
    txtGama1_Gama2->setText(q(f.gama12));
    fillDelayFields(f);
}

Sec522::Fields frmUni_522::currentFields() const {
    Sec522::Fields f;
    f.alfa3 = s(txtAlfa_Alfa1_Alfa2);
    f.beta12 = s(txtBeta1_Beta2);
    f.gama12 = s(txtGama1_Gama2);
    readDelayFields(f);
    return f;
}

// What the reading or the run would refuse is not written.
void frmUni_522::writeDataFile(const std::string& path) {
    const auto f = currentFields();
    checkByReading(
        path, [&](const std::string& p) { Sec522::Table_File(host_.store(), p, f); },
        [this] { dynamic_cast<Sec522&>(*core()).checkLimits(host_.store()); });
    Sec522::Table_File(host_.store(), path, f);
}

}  // namespace velta
