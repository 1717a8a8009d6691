// The about box frmAbout: the package's picture, version, credits and the working folder.
#pragma once
#include <QDialog>

namespace velta {

class AboutBox : public QDialog {
    Q_OBJECT
public:
    // workFolder: the folder "User" the package reads and writes its files in.
    explicit AboutBox(const QString& workFolder, QWidget* parent = nullptr);
};

}  // namespace velta
