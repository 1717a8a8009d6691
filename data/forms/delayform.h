// Base of the input windows of the delay models (1.2, 2.2, 5.1.2, 5.2.2): the delay block of
// sheet 1, the delay grid on sheet 2, integration, initial data and plotted components on
// sheet 3, table density and plot bounds on sheet 4, and the texts of those fields.
#pragma once
#include "data/datafile.h"
#include "data/forms/sectionform.h"

#include <string>
#include <utility>

namespace velta {

class DelayForm : public SectionForm {
protected:
    using SectionForm::SectionForm;

    // Block 2 of sheet 1 (MDIM, LTAU and, withPeriod, PTAU) from y on, labels lw wide.
    void addDelayBlock(int y, int lw, bool withPeriod = true);
    // Sheets 2 to 4; inPeriods: the delays are shares of the period PTAU; systemLines: the
    // method text of sheet 3 names the system and [0,TMAX].
    void addDelaySheets(bool inPeriods = true, bool systemLines = true);
    // The delay grid g of n delays.
    void showTauGrid(const GridText& g, int n);

    // The texts of ALFA, BETA, GAMA and of the fields of the sheets above, in the order
    // they are shown; the grid is read with them.
    template <class F>
    void showDelayFields(const F& f) {
        const std::pair<QLineEdit*, const std::string*> links[] = {
            {txtAlfa, &f.alfa}, {txtBeta, &f.beta}, {txtGama, &f.gama}, {txtMDIM, &f.mdim},
            {txtLTAU, &f.ltau}, {txtPTAU, &f.ptau}, {txtTmax, &f.tmax}, {txtNDEL, &f.ndel},
            {txtIND, &f.ind},   {txtZ_1, &f.z_1},   {txtI1G, &f.i1g},   {txtNsc, &f.nsc},
            {txtDlx, &f.dlx},   {txtDrx, &f.drx},   {txtSCLT, &f.sclt}};
        for (const auto& [e, t] : links) e->setText(QString::fromStdString(*t));
    }
    template <class F>
    void readDelayFields(F& f) const {
        const std::pair<const QLineEdit*, std::string*> links[] = {
            {txtAlfa, &f.alfa}, {txtBeta, &f.beta}, {txtGama, &f.gama}, {txtMDIM, &f.mdim},
            {txtLTAU, &f.ltau}, {txtPTAU, &f.ptau}, {txtTmax, &f.tmax}, {txtNDEL, &f.ndel},
            {txtIND, &f.ind},   {txtZ_1, &f.z_1},   {txtI1G, &f.i1g},   {txtNsc, &f.nsc},
            {txtDlx, &f.dlx},   {txtDrx, &f.drx},   {txtSCLT, &f.sclt}};
        for (const auto& [e, t] : links) *t = e->text().toStdString();
        f.tau = grdTable1->text();
    }

    QLineEdit *txtAlfa = nullptr, *txtBeta = nullptr, *txtGama = nullptr;
    QLineEdit *txtMDIM = nullptr, *txtLTAU = nullptr, *txtPTAU = nullptr;
    FormGrid* grdTable1 = nullptr;
    QLineEdit *txtTmax = nullptr, *txtNDEL = nullptr, *txtIND = nullptr, *txtZ_1 = nullptr, *txtI1G = nullptr;
    QLineEdit *txtNsc = nullptr, *txtDlx = nullptr, *txtDrx = nullptr, *txtSCLT = nullptr;

private:
    // Column 2 (the values) wide, the others narrow; a long list scrolls within the sheet.
    void fitTauGrid();
};

}  // namespace velta
