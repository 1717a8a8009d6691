#include "app/qt/mainwindow.h"

#include "app/qt/aboutbox.h"
#include "app/qt/artwork.h"
#include "app/qt/canvaswidget.h"
#include "app/qt/helpviewer.h"
#include "app/qt/qtprompter.h"
#include "app/qt/textview.h"
#include "data/store.h"
#include "export/qt/exportcommands.h"
#include "graphics/qt/frm3dkart.h"
#include "graphics/qt/frmvarpar.h"
#include "graphics/qt/qimagesurface.h"
#include "graphics/qt/vectorsurface.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateTime>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QProgressBar>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace velta {

namespace {

using Handler = void (MainWindow::*)();

// The menu tree: depth, object name, caption ("-" a separator), command. A row followed
// by deeper rows opens a submenu; a section's item is the one its catalogue row names.
struct MenuRow {
    int depth;
    const char* object;
    const char* caption;
    Handler run = nullptr;
};

const MenuRow kMenus[] = {
    {0, "mnuRazdel", "&Разделы"},
    {1, "mnuSym", "&1. Симметричные ГГС"},
    {2, "mnuSymAUto", "&Автономная система"},
    {2, "mnuSymZap", "&Система уравнений с запаздываниями"},
    {1, "mnuGen", "&2. ГГС общего вида"},
    {2, "mnuGenAuto", "&Автономная система. Задача Коши"},
    {2, "mnuGenStac", "Стац. &решения автономной системы"},
    {3, "mnuStart", "&Стартовое решение "},
    {4, "mnuMNN", "&1. MNN"},
    {4, "mnuRND", "&2. RND"},
    {3, "mnuDiagUstG", "&Диаграммы и устойчивость"},
    {2, "mnuGenZap", "&Система уравнений с запаздываниями"},
    {1, "mnuUstCirc", "&3. Устойчивость циркулянта"},
    {1, "mnuAssorty", "&4. Ассорти"},
    {1, "mnuSyn", "&5. Синтез"},
    {2, "mnuSyn1", "Кодирование &одним ГЭ"},
    {3, "mnuSyn1Auto", "&Автономная система"},
    {3, "mnuSyn1Zap", "&Уравнение с запаздыванием"},
    {2, "mnuSyn2", "Кодирование &двумя ГЭ"},
    {3, "mnuSyn2Auto", "&Автономная система"},
    {3, "mnuSyn2Zap", "&Уравнение с запаздыванием"},
    {1, "mnuSysUrZap", "&6. Система уравнений с запаздываниями"},
    {1, "mnuStaResh", "&7. Стационарные решения"},
    {1, "mnuGGSEcol", "&8. ГС экологической природы"},
    {1, "mnuKhaos", "&9. Колебания хаотического типа в ГГС"},
    {1, "", "-"},
    {1, "mnuExit", "В&ыход", &MainWindow::mnuExit_Click},
    {0, "mnuZadachi", "&Задачи"},
    {1, "mnuFormMod", "&Формулировка модели", &MainWindow::mnuFormMod_Click},
    {1, "mnuBankDan", "&Банк данных", &MainWindow::mnuBankDan_Click},
    {1, "mnuPriZad", "&Примеры задач", &MainWindow::mnuPriZad_Click},
    {0, "mnuDannye", "&Данные"},
    {1, "mnuTable", "&Выбрать файл и открыть таблицы", &MainWindow::mnuTable_Click},
    {1, "", "-"},
    {1, "mnuOpen", "&Открыть файл", &MainWindow::mnuOpen_Click},
    {1, "mnuClose", "&Закрыть текст. (граф.) окно", &MainWindow::mnuClose_Click},
    {1, "", "-"},
    {1, "mnuSaveFig", "Сохранить рисунок…"},
    {1, "mnuExportModel", "Экспорт модели…"},
    {1, "mnuSaveCsv", "Сохранить таблицу CSV…"},
    {0, "mnuVychisl", "&Вычисления"},
    {1, "mnuInput", "&Ввод исходных данных", &MainWindow::mnuInput_Click},
    {1, "mnuIntegr", "С&чёт [и графика]", &MainWindow::mnuIntegr_Click},
    {1, "mnuVarPar", "В&арьирование параметров"},
    {1, "mnuSpectr", "&Спектр"},
    {1, "mnuSweep", "Серия расчётов…", &MainWindow::mnuSweep_Click},
    {0, "mnuNastr", "&Настройка"},
    {1, "mnuFon", "&Цвет фона графики"},
    {2, "mnuFonBel", "&Белый", &MainWindow::mnuFonBel_Click},
    {2, "mnuFonCher", "&Чёрный", &MainWindow::mnuFonCher_Click},
    {1, "mnu3DKart", "&Данные 3D-картинки"},
    {1, "", "-"},
    {1, "mnuRefresh", "&Обновить окно", &MainWindow::mnuRefresh_Click},
    {0, "mnuRezult", "Р&езультаты"},
    {1, "mnuOpenQsolv", "Открыть файл  &Qsolv", &MainWindow::mnuOpenQsolv_Click},
    {1, "mnuOpenResl", "Открыть файл  &Results", &MainWindow::mnuOpenResl_Click},
    {1, "mnuOpenSpct", "Открыть файл  &Spectr", &MainWindow::mnuOpenSpct_Click},
    {1, "mnuOpenStabl", "Открыть файл  S&tabl", &MainWindow::mnuOpenStabl_Click},
    {1, "mnuDelF", "&Удалить файлы результатов", &MainWindow::mnuDelF_Click},
    {0, "mnuSpravka", "&Справка"},
    {1, "mnuHelp_Topics", "&Содержание справки", &MainWindow::mnuHelp_Topics_Click},
    {1, "", "-"},
    {1, "mnuAbout", "О &пакете", &MainWindow::mnuAbout_Click},
};

// Tool-bar buttons by key: tool tip and the command they run ("" a separator).
struct ToolRow {
    const char* key;
    const char* tip;
    const char* command;
};

const ToolRow kTools[] = {
    {"Table", "Выбрать файл и открыть таблицы", "mnuTable"},
    {"Open", "Открыть файл ", "mnuOpen"},
    {"Close", "Закрыть текст. (граф.) окно", "mnuClose"},
    {"", "", ""},
    {"Input", "Ввод исходных данных", "mnuInput"},
    {"Integr", "Счёт [и графика]", "mnuIntegr"},
    {"VarPar", "Варьирование параметров", "mnuVarPar"},
    {"", "", ""},
    {"Right", "Вправо", "Right"},
    {"Down", "Вниз", "Down"},
    {"Left", "Влево", "Left"},
    {"Up", "Вверх", "Up"},
    {"", "", ""},
    {"Results", "Открыть файл результатов", "mnuOpenResl"},
    {"About", "О пакете", "mnuAbout"},
    {"Exit", "Выход из пакета", "mnuExit"},
};

// Drop-down items of "Results": key (the object name), the text shown (the caption of the
// menu item without its access key) and command.
struct ResultItem {
    const char* key;
    const char* text;
    const char* command;
};
const ResultItem kResultItems[] = {
    {"OpenQsolv", "Открыть файл  Qsolv", "mnuOpenQsolv"},
    {"OpenResults", "Открыть файл  Results", "mnuOpenResl"},
    {"OpenSpectr", "Открыть файл  Spectr", "mnuOpenSpct"},
    {"OpenStabl", "Открыть файл  Stabl", "mnuOpenStabl"},
};

// A status panel that shows a text too long for it elided in the middle; the tool tip
// holds all of it.
class ElidedPanel : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        drawFrame(&p);
        const QRect r = contentsRect().adjusted(margin() + 2, 0, -margin() - 2, 0);
        p.drawText(r, int(alignment()), fontMetrics().elidedText(text(), Qt::ElideMiddle, r.width()));
    }
};

// What each switched command enables together: menu items, buttons, drop-down items.
const std::map<Cmd, std::vector<QString>>& switchedNames() {
    static const std::map<Cmd, std::vector<QString>> names = {
        {Cmd::Table, {"mnuTable", "Table"}},
        {Cmd::FormMod, {"mnuFormMod"}},
        {Cmd::BankDan, {"mnuBankDan"}},
        {Cmd::Open, {"mnuOpen", "Open"}},
        {Cmd::Input, {"mnuInput", "Input"}},
        {Cmd::Integr, {"mnuIntegr", "Integr"}},
        {Cmd::VarPar, {"mnuVarPar", "VarPar"}},
        {Cmd::OpenResl, {"mnuOpenResl", "Results"}},
        {Cmd::DelF, {"mnuDelF"}},
        {Cmd::Spectr, {"mnuSpectr"}},
        {Cmd::OpenQsolv, {"mnuOpenQsolv", "OpenQsolv"}},
        {Cmd::OpenSpct, {"mnuOpenSpct", "OpenSpectr"}},
        {Cmd::OpenStabl, {"mnuOpenStabl", "OpenStabl"}},
        {Cmd::Combo, {"Combo1"}},
        {Cmd::Turn, {"Right", "Down", "Left", "Up"}},
    };
    return names;
}

constexpr QRect kCanvasRect(10, 76, 774, 470);

}  // namespace

MainWindow::MainWindow(Store& store, const std::string& appRoot, QWidget* parent,
                       const std::string& packageDir)
    : QMainWindow(parent), store_(store), paths_(appRoot, packageDir), shell_(store, paths_) {
    setObjectName("frmUni_00");
    setWindowTitle("  Пакет программ  VELTA");
    surface_ = std::make_unique<RecordingImageSurface>(800, 600);  // recorded for the vector figures
    dialogs_ = std::make_unique<QtPrompter>(this);
    dialogs_->beforeModal = [this] {
        if (canvas_ && canvas_->isVisible()) canvas_->update();
    };

    // Commands without a window of their own here until one is plugged in.
    auto notBuilt = [this] {
        prompter().message("Эта команда ещё не реализована в этой версии пакета.", MsgIcon::Exclamation);
    };
    commands_["mnu3DKart"] = notBuilt;
    varpar_ = std::make_unique<VarParDialogs>(*this, [this] {
        surface_->clear();
        canvasChanged();
    });
    commands_["mnuVarPar"] = [this] { varpar_->mnuVarPar_Click(); };
    commands_["mnuSpectr"] = [this] {
        Ctx ctx{*surface_, prompter(), paths_, store_};
        if (shell_.mnuSpectr(ctx)) {
            // The verdict at the chosen ALFA is shown read-only on light green.
            text_->showLines(shell_.current()->spectrText(), TextView::kBankBack, TextView::Kind::Result);
            text_->setReadOnly(true);
        }
        commandsChanged();
        canvas_->update();
    };
    for (const char* n : {"Right", "Down", "Left", "Up"}) commands_[n] = [] {};

    auto* client = new QWidget(this);
    client->setObjectName("client");
    client->setFixedSize(800, 600);
    setCentralWidget(client);
    buildMenus();
    buildToolBar(client);
    buildClient(client);
    buildStatusBar();
    // Fixed border: the window keeps the size of its 800 x 600 client with the bars.
    setFixedSize(sizeHint());

    dialogs_->setProgressBar(prbPhas_);
    dialogs_->setStatusBar(statusBar());
    dialogs_->setNotePanel(panels_[0]);

    // Form_Load: every switched command off, "&Белый" checked, combo box disabled.
    shell_.Menu_False();
    shell_.enable(Cmd::Combo, false);
    store_.QBACK = 0;
    picture3d_ = std::make_unique<Picture3DCommands>(*this, *varpar_);
    new ExportCommands(*this);  // figures, models and the results table out; a child of the window
    commandsChanged();
    tick();
}

MainWindow::~MainWindow() {
    windows_.clear();
    if (surface_) surface_->onPoll = nullptr;
}

Prompter& MainWindow::prompter() { return prompter_ ? *prompter_ : *dialogs_; }

void MainWindow::buildMenus() {
    std::vector<QMenu*> open;  // the menu at each depth
    const int n = static_cast<int>(std::size(kMenus));
    for (int i = 0; i < n; ++i) {
        const MenuRow& row = kMenus[i];
        const QString name = QString::fromUtf8(row.object);
        const QString caption = QString::fromUtf8(row.caption);
        open.resize(static_cast<std::size_t>(row.depth));
        QMenu* parent = row.depth > 0 ? open.back() : nullptr;
        if (caption == "-") {
            parent->addSeparator();
            continue;
        }
        const bool hasChildren = i + 1 < n && kMenus[i + 1].depth > row.depth;
        if (hasChildren || row.depth == 0) {
            QMenu* m = parent ? parent->addMenu(caption) : menuBar()->addMenu(caption);
            m->setObjectName(name);
            m->menuAction()->setObjectName(name);
            open.push_back(m);
            continue;
        }
        QAction* a = parent->addAction(caption);
        a->setObjectName(name);
        actions_[name] = a;
        if (const SectionInfo* s = findSectionByMenu(row.object)) {
            const int code = s->code;
            commands_[name] = [this, code] { selectSection(code); };
        } else if (row.run) {
            const Handler h = row.run;
            commands_[name] = [this, h] { (this->*h)(); };
        }
        connect(a, &QAction::triggered, this, [this, name] { runCommand(name); });
    }
    actions_["mnuFonBel"]->setCheckable(true);
    actions_["mnuFonCher"]->setCheckable(true);

    // Context menu of the text view; its item has no action of its own.
    formBank_ = new QMenu("Форм_Банк", this);
    formBank_->setObjectName("mnuFormBank");
    formBank_->addAction("Сохранить")->setObjectName("mnuSave");
}

void MainWindow::buildToolBar(QWidget* client) {
    toolbar_ = new QToolBar(client);
    toolbar_->setObjectName("Toolbar1");
    toolbar_->setIconSize(QSize(24, 24));
    toolbar_->setMovable(false);
    toolbar_->setGeometry(0, 0, 800, 46);

    // The section drop-down: its items select a section; the button itself does nothing.
    auto* sections = new QToolButton(toolbar_);
    sections->setObjectName("Sections");
    sections->setToolTip("Выбрать раздел");
    sections->setIcon(toolIcon("Sections"));
    sections->setPopupMode(QToolButton::MenuButtonPopup);
    sections->setFixedWidth(56);
    auto* sectionMenu = new QMenu(sections);
    sectionMenu->setObjectName("mnuSections");
    for (const SectionInfo& s : catalogue()) {
        QAction* a = sectionMenu->addAction(QString::fromStdString(s.dropText));
        connect(a, &QAction::triggered, this, [this, a] {
            // The item's text names the section.
            const std::string text = a->text().toStdString();
            for (const SectionInfo& row : catalogue())
                if (row.dropText == text) runCommand(QString::fromStdString(row.menuObject));
        });
    }
    sections->setMenu(sectionMenu);
    toolbar_->addWidget(sections);
    buttons_["Sections"] = sections;

    auto* gap = new QWidget(toolbar_);
    gap->setFixedWidth(8);
    toolbar_->addWidget(gap);
    combo_ = new QComboBox(toolbar_);
    combo_->setObjectName("Combo1");
    combo_->setFixedWidth(214);
    combo_->setPlaceholderText(QString::fromStdString(shell_.comboText));
    connect(combo_, &QComboBox::activated, this, [this](int i) { Combo1_Click(combo_->itemText(i)); });
    toolbar_->addWidget(combo_);
    toolbar_->addSeparator();

    for (const ToolRow& t : kTools) {
        const QString key = QString::fromUtf8(t.key);
        if (key.isEmpty()) {
            toolbar_->addSeparator();
            continue;
        }
        auto* b = new QToolButton(toolbar_);
        b->setObjectName(key);
        b->setToolTip(QString::fromUtf8(t.tip));
        b->setIcon(toolIcon(key));
        b->setAutoRaise(true);
        const QString command = QString::fromUtf8(t.command);
        connect(b, &QToolButton::clicked, this, [this, command] { runCommand(command); });
        toolbar_->addWidget(b);
        buttons_[key] = b;
    }

    auto* results = new QMenu(buttons_["Results"]);
    for (const ResultItem& item : kResultItems) {
        QAction* a = results->addAction(QString::fromUtf8(item.text));
        a->setObjectName(QString::fromUtf8(item.key));
        actions_[QString::fromUtf8(item.key)] = a;
        const QString cmd = QString::fromUtf8(item.command);
        connect(a, &QAction::triggered, this, [this, cmd] { runCommand(cmd); });
    }
    buttons_["Results"]->setMenu(results);
    buttons_["Results"]->setPopupMode(QToolButton::MenuButtonPopup);

    // "Стоп" ends a running computation at once; enabled only while one runs.
    stop_ = new QAction(toolIcon("Stop"), "Стоп", this);
    stop_->setObjectName("actStop");
    stop_->setToolTip("Остановить счёт");
    connect(stop_, &QAction::triggered, this, [this] { requestStop(); });
    addAction(stop_);
    // Esc is easily pressed by accident (closing a menu): it asks first. Only in the main
    // window: Esc in a question asked during the run answers that question.
    auto* escape = new QAction(this);
    escape->setObjectName("actEscape");
    escape->setShortcut(Qt::Key_Escape);
    escape->setShortcutContext(Qt::WindowShortcut);
    connect(escape, &QAction::triggered, this, [this] {
        if (running_ && !stopRequested_ && prompter().askYesNo("Прервать счёт?")) requestStop();
    });
    addAction(escape);
    toolbar_->addSeparator();
    auto* stop = new QToolButton(toolbar_);
    stop->setDefaultAction(stop_);
    stop->setObjectName("Stop");
    stop->setAutoRaise(true);
    toolbar_->addWidget(stop);
    buttons_["Stop"] = stop;
}

void MainWindow::buildClient(QWidget* client) {
    canvas_ = new CanvasWidget(surface_->image(), kCanvasRect, client);
    canvas_->setGeometry(kCanvasRect);
    canvas_->hide();

    text_ = new TextView(client);
    text_->setGeometry(kCanvasRect);
    text_->hide();
    connect(text_, &TextView::rightClicked, this, &MainWindow::rtbText1_MouseDown);

    welcome_ = new QFrame(client);
    welcome_->setObjectName("fra_Uni00");
    welcome_->setFrameShape(QFrame::Box);
    welcome_->setGeometry(173, 95, 454, 400);
    welcome_->setAutoFillBackground(true);
    auto* box = new QVBoxLayout(welcome_);
    auto* picture = new QLabel(welcome_);
    picture->setObjectName("Image1");
    picture->setPixmap(networkPicture(420, 320));
    picture->setAlignment(Qt::AlignCenter);
    auto* title = new QLabel("Гипотетические  генные  сети  (ГГС)", welcome_);
    title->setObjectName("Label1");
    QFont tf = title->font();
    tf.setPointSize(tf.pointSize() + 5);
    tf.setBold(true);
    title->setFont(tf);
    title->setAlignment(Qt::AlignCenter);
    box->addWidget(picture);
    box->addWidget(title);

    prbPhas_ = new QProgressBar(client);
    prbPhas_->setObjectName("prbPhas");
    prbPhas_->setGeometry(588, 517, 181, 13);
    prbPhas_->setTextVisible(false);
    prbPhas_->hide();
}

void MainWindow::buildStatusBar() {
    auto* bar = new QStatusBar(this);
    bar->setObjectName("StatusBar1");
    bar->setSizeGripEnabled(false);
    setStatusBar(bar);
    // Long texts are elided in the middle instead of widening the window; panel 1 takes
    // the room the data-file name does not need.
    const int widths[4] = {400, 180, 90, 80};
    for (int i = 0; i < 4; ++i) {
        panels_[i] = new ElidedPanel(bar);
        panels_[i]->setObjectName(QString("Panel%1").arg(i + 1));
        panels_[i]->setFrameShape(QFrame::Panel);
        panels_[i]->setFrameShadow(QFrame::Sunken);
        if (i < 2) {
            panels_[i]->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
            panels_[i]->setMinimumWidth(widths[i] / 2);
        } else {
            panels_[i]->setFixedWidth(widths[i]);
            panels_[i]->setAlignment(Qt::AlignCenter);
        }
        bar->addWidget(panels_[i], i < 2 ? widths[i] : 0);
    }
    clock_ = new QTimer(this);
    clock_->setInterval(1000);
    connect(clock_, &QTimer::timeout, this, &MainWindow::tick);
    clock_->start();
}

// Date and time panels.
void MainWindow::tick() {
    const QDateTime now = QDateTime::currentDateTime();
    panels_[2]->setText(now.toString("dd.MM.yyyy"));
    panels_[3]->setText(now.toString("HH:mm:ss"));
}

QString MainWindow::statusPanel(int index) const {
    return index >= 1 && index <= 4 ? panels_[index - 1]->text() : QString();
}

void MainWindow::setCommand(const QString& name, std::function<void()> action) {
    commands_[name] = std::move(action);
}

void MainWindow::runCommand(const QString& name) {
    auto it = commands_.find(name);
    if (it == commands_.end() || !it->second) return;
    try {
        it->second();
    } catch (const std::exception& e) {
        prompter().message(e.what(), MsgIcon::Critical);
    }
    commandsChanged();
}

void MainWindow::setEnabledByName(const QString& name, bool on) {
    if (auto a = actions_.find(name); a != actions_.end()) a->second->setEnabled(on);
    if (auto b = buttons_.find(name); b != buttons_.end()) b->second->setEnabled(on);
    if (name == "Combo1") combo_->setEnabled(on);
}

void MainWindow::commandsChanged() {
    // While a computation runs only "Справка", "About", "Exit" and "Стоп" stay usable.
    const bool idle = !running_;
    for (const auto& [cmd, names] : switchedNames())
        for (const QString& n : names) setEnabledByName(n, shell_.isEnabled(cmd) && idle);
    for (QAction* top : menuBar()->actions())
        if (top->objectName() != "mnuSpravka") top->setEnabled(idle);
    for (const char* n : {"Sections", "Close"}) buttons_[n]->setEnabled(idle);
    stop_->setEnabled(running_);
    for (auto& [code, w] : windows_)
        if (w && w->widget()) w->widget()->setEnabled(idle);
    if (varpar_) varpar_->setInputEnabled(idle);

    // A long caption is elided; the tool tip holds all of it. While a computation runs
    // panel 1 shows its notes; afterwards the last one stays in the tool tip.
    for (int i = 0; i < 2; ++i) {
        if (i == 0 && running_) continue;
        const QString t = QString::fromStdString(i == 0 ? shell_.status1 : shell_.status2);
        panels_[i]->setText(t);
        const std::string& note = dialogs_->lastNote();
        panels_[i]->setToolTip(i == 0 && !note.empty() ? t + "\n" + QString::fromStdString(note) : t);
    }

    // The task-folder list: rebuilt only when it changed, so an open list is kept.
    QStringList items;
    for (const auto& t : shell_.taskItems) items << QString::fromStdString(t);
    QStringList shown;
    for (int i = 0; i < combo_->count(); ++i) shown << combo_->itemText(i);
    if (items != shown) {
        combo_->clear();
        combo_->addItems(items);
    }
    const QString text = QString::fromStdString(shell_.comboText);
    const int at = items.indexOf(text);
    combo_->setPlaceholderText(at < 0 ? text : QString());
    combo_->setCurrentIndex(at);
    combo_->update();  // an emptied placeholder does not repaint by itself

    welcome_->setVisible(shell_.welcomeVisible);
    text_->setVisible(shell_.textViewVisible);
    actions_["mnuFonBel"]->setChecked(shell_.whiteBackground);
    actions_["mnuFonCher"]->setChecked(!shell_.whiteBackground);
}

void MainWindow::canvasChanged() {
    canvas_->show();
    canvas_->update();
}

SectionWindow* MainWindow::sectionWindow(int code) {
    auto it = windows_.find(code);
    if (it != windows_.end()) return it->second.get();
    auto made = makeSectionWindow(code, *this);
    if (!made) return nullptr;
    return windows_.emplace(code, std::move(made)).first->second.get();
}

void MainWindow::showHelp(int topic) {
    const QString file = QString::fromStdString(paths_.helpFile());
    store_.HELPWND = HelpViewer::open(file, topic, shell_.section);
}

// Closing: the help viewer if the package opened it, then every window; nothing is
// asked and nothing is deleted. A running computation is stopped first.
void MainWindow::closeEvent(QCloseEvent* e) {
    if (running_) {
        stopRequested_ = true;
        closeAfterRun_ = true;
        e->ignore();
        return;
    }
    if (store_.HELPWND != 0) store_.HELPWND = HelpViewer::closeAll();
    if (about_) about_->close();
    for (auto& [code, w] : windows_)
        if (w && w->widget()) w->widget()->close();
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w != this && w->isVisible()) w->close();
    e->accept();
}

}  // namespace velta
