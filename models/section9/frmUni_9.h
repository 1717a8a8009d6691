// Input window of section 9 (oscillations of chaotic type): three sheets with the
// parameters of a ".chad" data file, the Poincaré plane's Xo and N as grids.
#pragma once
#include "data/forms/sheets.h"
#include "models/section9/sec9.h"

namespace velta {

class frmUni_9 : public PlaneForm {
public:
    explicit frmUni_9(FormHost& host);

    // The open procedure of the section.
    void IshDanCha() { open(); }
    // The texts of the fields and grids as they stand.
    Sec9::Fields currentFields() const;

protected:
    void fillFields() override;
    void writeDataFile(const std::string& path) override;

private:
    // The section's core, which holds the initial values YO.
    Sec9& sec();
    // The fields and the texts they show.
    std::vector<FieldText<Sec9::Fields>> texts() const;

    QLineEdit *txtNdim, *txtAlfa, *txtGama, *txtMCPZ, *txtXI1;
    QLineEdit *txtSCLT, *txtSCRT, *txtHHH, *txtSCLX, *txtSCRX;
    QLineEdit *txtICi, *txtLscreen, *txtLgraph, *txtNsc;
};

}  // namespace velta
