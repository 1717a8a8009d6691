// Input window of section 8 (gene networks of ecological nature): four sheets with the
// parameters of a ".gsed" data file, the Poincaré plane's Xo and N as grids.
#pragma once
#include "data/forms/sheets.h"
#include "models/section8/sec8.h"

namespace velta {

class frmUni_8 : public PlaneForm {
public:
    explicit frmUni_8(FormHost& host);

    // The open procedure of the section.
    void IshDanEco() { open(); }
    // The texts of the fields and grids as they stand.
    Sec8::Fields currentFields() const;

protected:
    void fillFields() override { net_.show(Sec8::fieldsFromStore(host_.store())); }
    void writeDataFile(const std::string& path) override;

private:
    NetworkWidgets<Sec8::Fields> net_;
};

}  // namespace velta
