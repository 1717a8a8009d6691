// The about box frmAbout: the package's picture, version and credits.
#pragma once
#include <QDialog>

namespace velta {

class AboutBox : public QDialog {
    Q_OBJECT
public:
    explicit AboutBox(QWidget* parent = nullptr);
};

} // namespace velta
