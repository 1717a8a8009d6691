// The 3D picture in the main window: the angle dialog frm3DKart ("&Данные 3D-картинки"),
// the four turning buttons, turning with the mouse, and the picture the computation
// command draws when a 3D option is chosen in the variation dialog.
#pragma once
#include "graphics/picture3d.h"

#include <QDialog>
#include <QPoint>

#include <array>
#include <memory>
#include <string>

class QLineEdit;

namespace velta {

class MainWindow;
class VarParDialogs;

class Frm3DKart : public QDialog {
    Q_OBJECT
public:
    Frm3DKart(MainWindow& w, View3D& view);

    // IshDan3DK: an angle file chosen, read and shown; nothing when the choice is cancelled.
    void IshDan3DK();
    void cmdInput4_Click();
    void cmdCancel4_Click();
    void cmdHelp4_Click();

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    MainWindow& w_;
    View3D& view_;
    std::array<QLineEdit*, 5> fields_{};
};

class Picture3DCommands {
public:
    Picture3DCommands(MainWindow& w, VarParDialogs& varpar);
    ~Picture3DCommands();

    View3D& view() { return view_; }
    Frm3DKart* dialog();
    // A turning button: the new view drawn when a picture is shown.
    void turnView(Turn t);

private:
    Ctx ctx();
    void redraw();

    MainWindow& w_;
    VarParDialogs& varpar_;
    View3D view_;
    std::unique_ptr<Frm3DKart> dialog_;
    QPoint pressed_;
    bool dragging_ = false;
};

}  // namespace velta
