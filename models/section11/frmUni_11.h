// Input window of section 1.1 (symmetric network, autonomous system): four sheets with
// the parameters of a ".mnkd" data file, the Poincaré plane's Xo and N as grids.
#pragma once
#include "data/forms/sheets.h"
#include "models/section11/sec11.h"

namespace velta {

class frmUni_11 : public PlaneForm {
public:
    explicit frmUni_11(FormHost& host);

    // The open procedure of the section.
    void IshDanSym() { open(); }
    // The texts of the fields and grids as they stand.
    Sec11::Fields currentFields() const;

protected:
    void fillFields() override { net_.show(Sec11::fieldsFromStore(host_.store())); }
    void writeDataFile(const std::string& path) override;

private:
    NetworkWidgets<Sec11::Fields> net_;
};

}  // namespace velta
