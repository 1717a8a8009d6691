#include "graphics/qt/frm3dkart.h"

#include "app/prompter.h"
#include "app/qt/canvaswidget.h"
#include "app/qt/helpviewer.h"
#include "app/qt/mainwindow.h"
#include "data/numtext.h"
#include "data/store.h"
#include "data/textfile.h"
#include "graphics/qt/frmvarpar.h"
#include "graphics/qt/qimagesurface.h"

#include <QCloseEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace velta {

namespace {

const std::string kUglFilter = "Файлы данных (*.ugl)|*.ugl|";

// "(", five blanks, a ditto sign, six blanks, ")": the same unit as the line above.
const std::string kDitto = std::string("(") + "     " + "\"" + "      " + ")";

}  // namespace

Frm3DKart::Frm3DKart(MainWindow& w, View3D& view) : QDialog(&w), w_(w), view_(view) {
    setObjectName("frm3DKart");
    setWindowTitle("   3D-картинка");
    setModal(false);
    auto* heading = new QLabel("Исходные данные для 3D-картинки", this);
    heading->setObjectName("Label1");
    auto* frame = new QFrame(this);
    frame->setObjectName("fraUgly");
    frame->setFrameShape(QFrame::Box);
    auto* grid = new QGridLayout(frame);
    const std::pair<const char*, std::string> rows[5] = {
        {"txtDFI", "Приращение угла долготы (в долях PI/2),  DFI ="},
        {"txtDTE", "Приращение угла широты " + kDitto + ",  DTE ="},
        {"txtSFI", "Угловая стерео-база " + kDitto + ",  SFI ="},
        {"txtSSCR", "Экранная стерео-база (в долях левого окна),  SSCR ="},
        {"txtMSCR", "Масштаб стерео-картинки,  MSCR ="},
    };
    for (int i = 0; i < 5; ++i) {
        auto* l = new QLabel(QString::fromStdString(rows[i].second), frame);
        auto* e = new QLineEdit(frame);
        e->setObjectName(rows[i].first);
        e->setFixedWidth(100);
        l->setBuddy(e);
        grid->addWidget(l, i, 0, Qt::AlignRight);
        grid->addWidget(e, i, 1);
        fields_[static_cast<std::size_t>(i)] = e;
    }
    auto* input = new QPushButton("Ввод", this);
    input->setObjectName("cmdInput4");
    auto* cancel = new QPushButton("Отмена", this);
    cancel->setObjectName("cmdCancel4");
    auto* help = new QPushButton("Справка", this);
    help->setObjectName("cmdHelp4");
    input->setDefault(true);
    connect(input, &QPushButton::clicked, this, &Frm3DKart::cmdInput4_Click);
    connect(cancel, &QPushButton::clicked, this, &Frm3DKart::cmdCancel4_Click);
    connect(help, &QPushButton::clicked, this, &Frm3DKart::cmdHelp4_Click);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* b : {input, cancel, help}) {
        b->setMinimumWidth(90);
        buttons->addWidget(b);
    }
    buttons->addStretch();
    auto* box = new QVBoxLayout(this);
    box->addWidget(heading);
    box->addWidget(frame);
    box->addLayout(buttons);
    setFixedSize(sizeHint());
}

void Frm3DKart::IshDan3DK() {
    const std::string folder = w_.paths().user();
    const std::string path = w_.prompter().chooseOpenFile(folder, kUglFilter);
    if (path.empty()) return;
    view_.uglyFile = path;
    // Read for the fields only: the view shown keeps its angles.
    View3D read = view_;
    Ctx c{w_.surface(), w_.prompter(), w_.paths(), w_.store()};
    Input_Ugly(c, read);
    const double values[5] = {read.DFI, read.DTE, read.SFI, read.SSCR, read.MSCR};
    for (int i = 0; i < 5; ++i)
        fields_[static_cast<std::size_t>(i)]->setText(QString::fromStdString(CStr(values[i])));
    show();
    raise();
    activateWindow();
}

void Frm3DKart::cmdInput4_Click() {
    // The fields were filled at opening, which counts as a change: the file is offered.
    std::string path = w_.prompter().chooseSaveFile(w_.paths().user(), kUglFilter);
    if (!path.empty()) {
        // A bare name gets the extension the open dialog filters on.
        const auto slash = path.find_last_of("/\\");
        if (path.find('.', slash == std::string::npos ? 0 : slash + 1) == std::string::npos) path += ".ugl";
        std::array<std::string, 5> typed;
        for (std::size_t i = 0; i < 5; ++i) typed[i] = fields_[i]->text().trimmed().toStdString();
        try {
            // Written beside the old file and renamed over it: a failed save keeps the old one.
            auto out = TextWriter::replace(path);
            writeAngles(*out, typed);
            out->close();
        } catch (const std::exception& e) {
            w_.prompter().message(e.what(), MsgIcon::Critical);
            return;
        }
        view_.uglyFile = path;  // the next picture reads what was saved
    }
    hide();
}

void Frm3DKart::cmdCancel4_Click() {
    w_.shell().afterCancel();  // includes But_False
    w_.commandsChanged();
    hide();
}

void Frm3DKart::cmdHelp4_Click() { w_.showHelp(1002); }

void Frm3DKart::closeEvent(QCloseEvent* e) {
    if (w_.store().HELPWND != 0) w_.store().HELPWND = HelpViewer::closeAll();
    QDialog::closeEvent(e);
}

// ---------------------------------------------------------------- the picture's commands

Picture3DCommands::Picture3DCommands(MainWindow& w, VarParDialogs& varpar) : w_(w), varpar_(varpar) {
    Shell& shell = w_.shell();
    shell.draw3D = [this](Ctx& c) { m3D_Graph(c, view_, options3D(w_.shell())); };

    // After "Ввод" of a variation dialog: the box for the new scale, the points for the
    // new components. Only a picture already loaded is refreshed.
    varpar_.reload3D = [this] {
        if (!view_.loaded) return;
        Ctx c = ctx();
        try {
            view_.opt = options3D(w_.shell());
            Input2_k(c.store, view_);
            InputPhPu(c, view_);
        } catch (const std::exception& e) {
            view_.loaded = false;
            w_.shell().enable(Cmd::Turn, false);
            w_.prompter().message(e.what(), MsgIcon::Critical);
        }
    };

    w_.setCommand("Right", [this] { turnView(Turn::Right); });
    w_.setCommand("Down", [this] { turnView(Turn::Down); });
    w_.setCommand("Left", [this] { turnView(Turn::Left); });
    w_.setCommand("Up", [this] { turnView(Turn::Up); });
    w_.setCommand("mnu3DKart", [this] { dialog()->IshDan3DK(); });

    if (auto* canvas = w_.findChild<CanvasWidget*>()) {
        QObject::connect(canvas, &CanvasWidget::mousePressed, canvas,
                         [this](QPoint p, Qt::MouseButton b, Qt::MouseButtons) {
                             if (b != Qt::LeftButton) return;
                             pressed_ = p;
                             dragging_ = true;
                         });
        QObject::connect(canvas, &CanvasWidget::mouseMoved, canvas,
                         [this](QPoint p, Qt::MouseButtons buttons) {
                             // The press position stays: the view keeps turning while the pointer is away.
                             if (!dragging_ || !(buttons & Qt::LeftButton)) return;
                             if (!w_.shell().isEnabled(Cmd::Turn) || !view_.loaded) return;
                             drag(view_, p.x() - pressed_.x(), p.y() - pressed_.y());
                             redraw();
                         });
    }
}

Picture3DCommands::~Picture3DCommands() {
    w_.shell().draw3D = nullptr;
    varpar_.reload3D = nullptr;
}

Frm3DKart* Picture3DCommands::dialog() {
    if (!dialog_) dialog_ = std::make_unique<Frm3DKart>(w_, view_);
    return dialog_.get();
}

Ctx Picture3DCommands::ctx() { return Ctx{w_.surface(), w_.prompter(), w_.paths(), w_.store()}; }

void Picture3DCommands::redraw() {
    Ctx c = ctx();
    Run1(c, view_);
    w_.canvasChanged();
}

void Picture3DCommands::turnView(Turn t) {
    if (!view_.loaded) return;
    turn(view_, t);
    redraw();
}

}  // namespace velta
