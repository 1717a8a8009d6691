#include "data/forms/sectionform.h"

#include "app/prompter.h"
#include "app/shell.h"
#include "data/catalogue.h"
#include "data/numtext.h"
#include "graphics/surface.h"
#include "models/section.h"

#include <QCloseEvent>
#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

namespace velta {

namespace {

constexpr int kWindowWidth = 797, kWindowHeight = 568;
constexpr int kButtonTop = 531, kButtonWidth = 100, kButtonHeight = 26, kButtonGap = 30;
constexpr int kRowHeight = 22;

// The file name typed without an extension gets the section's data extension.
std::string withExtension(const std::string& path, const std::string& ext) {
    const auto slash = path.find_last_of("/\\");
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (ext.empty() || name.find('.') != std::string::npos) return path;
    return path + ext;
}

}  // namespace

SectionForm::SectionForm(FormHost& host, int code, const QString& caption, int sheets, FormButtons buttons)
    // A window of its own owned by the main window; the dialog type makes it the main
    // window's transient, which the window manager keeps above it.
    : QWidget(host.mainWidget(), Qt::Dialog | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      host_(host),
      code_(code) {
    setObjectName(QStringLiteral("frmUni_%1").arg(code));
    setWindowTitle(caption);
    setFont(QFont(QStringLiteral("Liberation Sans"), 9));
    setFixedSize(kWindowWidth, kWindowHeight);

    // The pane under the tabs, then the tab strip, then the frames above both.
    tabs_ = new QTabBar(this);
    tabs_->setObjectName(QStringLiteral("TabStrip1"));
    tabs_->setExpanding(false);
    tabs_->setDrawBase(false);
    tabs_->setFocusPolicy(Qt::TabFocus);
    for (int i = 1; i <= sheets; ++i) tabs_->addTab(QStringLiteral("Лист #%1").arg(i));
    const int th = tabs_->sizeHint().height();
    pane_ = new QFrame(this);
    pane_->setFrameShape(QFrame::StyledPanel);
    pane_->setFrameShadow(QFrame::Raised);
    pane_->setGeometry(kTabLeft, kTabTop + th - 1, kTabWidth, kTabHeight - th + 1);
    tabs_->setGeometry(kTabLeft, kTabTop, kTabWidth, kTabHeight);
    tabs_->raise();
    for (int i = 1; i <= sheets; ++i) {
        auto* f = new QFrame(this);
        f->setObjectName(QStringLiteral("Frame%1").arg(i));
        f->setGeometry(kFrameLeft, kFrameTop, kFrameWidth, kFrameHeight);
        f->hide();
        frames_.push_back(f);
    }

    const char* names[3] = {buttons.input, buttons.cancel, buttons.help};
    const QString captions[3] = {QStringLiteral("Ввод"), QStringLiteral("Отмена"), QStringLiteral("Справка")};
    const int left = (kWindowWidth - 3 * kButtonWidth - 2 * kButtonGap) / 2;
    QPushButton* b[3];
    for (int i = 0; i < 3; ++i) {
        b[i] = new QPushButton(captions[i], this);
        b[i]->setObjectName(QString::fromLatin1(names[i]));
        b[i]->setAutoDefault(false);
        b[i]->setGeometry(left + i * (kButtonWidth + kButtonGap), kButtonTop, kButtonWidth, kButtonHeight);
    }
    connect(b[0], &QPushButton::clicked, this, [this] { accept(); });
    connect(b[1], &QPushButton::clicked, this, [this] { cancel(); });
    connect(b[2], &QPushButton::clicked, this, [this] { help(); });
    connect(tabs_, &QTabBar::currentChanged, this, [this](int index) { switchSheet(index); });
    // A click on the tab already chosen is a sheet switch too (it changes no index).
    connect(tabs_, &QTabBar::tabBarClicked, this, [this](int index) {
        if (index >= 0 && index == tabs_->currentIndex()) switchSheet(index);
    });
}

const SectionInfo* SectionForm::info() const { return findSection(code_); }

SectionCore* SectionForm::core() { return host_.shell().core(code_); }

std::string SectionForm::shownNameOf(const std::string& path) const {
    return host_.shell().shownNameOf(path);
}

void SectionForm::checkByReading(const std::string& path,
                                 const std::function<void(const std::string&)>& write,
                                 const std::function<void()>& check) {
    if (SectionCore* c = core()) host_.shell().checkBeforeWrite(*c, path, write, check);
}

// ---------------------------------------------------------------- building

QLabel* SectionForm::addLabel(int sheet, int x, int y, const QString& text, int width) {
    auto* l = new QLabel(text, frame(sheet));
    if (width <= 0) width = l->fontMetrics().horizontalAdvance(text) + 4;
    l->setGeometry(x, y, width, kRowHeight);
    return l;
}

QLineEdit* SectionForm::addField(int sheet, int x, int y, int labelWidth, const QString& label,
                                 const QString& name, int fieldWidth) {
    auto* l = new QLabel(label, frame(sheet));
    l->setGeometry(x, y, labelWidth, kRowHeight);
    l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto* e = new QLineEdit(frame(sheet));
    e->setObjectName(name);
    e->setGeometry(x + labelWidth + 6, y, fieldWidth, kRowHeight);
    l->setBuddy(e);
    // Any change, also one made while filling, marks the window as edited.
    connect(e, &QLineEdit::textChanged, this, [this] { edited_ = true; });
    return e;
}

FormGrid* SectionForm::addGrid(int sheet, int x, int y, const QString& name, int maxWidth) {
    auto* g = new FormGrid(frame(sheet), name);
    g->setMaxWidth(maxWidth);
    g->move(x, y);
    connect(g, &FormGrid::edited, this, [this] { edited_ = true; });
    return g;
}

void SectionForm::setSizingField(QLineEdit* field, const std::string& key, const std::string& reminder) {
    sizing_ = field;
    sizingKey_ = key;
    reminder_ = reminder;
    connect(field, &QLineEdit::textChanged, this, [this] { dimChanged_ = true; });
    field->installEventFilter(this);
}

bool SectionForm::eventFilter(QObject* watched, QEvent* e) {
    if (watched == sizing_ && e->type() == QEvent::MouseButtonPress) {
        // Shown once the press has reached the field, so the field does not keep the mouse.
        QTimer::singleShot(0, this, [this] { showReminder(); });
    }
    return QWidget::eventFilter(watched, e);
}

void SectionForm::showReminder() { host_.prompter().message(reminder_); }

// ---------------------------------------------------------------- sheets

void SectionForm::showSheet(int sheet) {
    for (std::size_t i = 0; i < frames_.size(); ++i) frames_[i]->setVisible(static_cast<int>(i) + 1 == sheet);
}

void SectionForm::setSheetsVisible(bool on) {
    tabs_->setVisible(on);
    pane_->setVisible(on);
    if (on) showSheet(tabs_->currentIndex() + 1);
    else
        for (QFrame* f : frames_) f->hide();
}

bool SectionForm::applyDimension() {
    if (!sizing_) {
        dimChanged_ = false;
        return true;
    }
    const std::string text = sizing_->text().toStdString();
    i16 n = 0;
    bool ok = true;
    try {
        n = textToI16(text);
    } catch (const VeltaError&) {
        ok = false;
    }
    // A grid needs at least one component and at most kMaxDimension; anything else stays
    // as typed until corrected.
    if (!ok || n < 1 || n > kMaxDimension) {
        host_.prompter().message("Недопустимое значение  " + sizingKey_ + " = " + text + "  (допустимо 1.." +
                                     CStr(kMaxDimension) + ")",
                                 MsgIcon::Exclamation);
        return false;
    }
    setDimension(n);
    fillGrids(true);
    dimChanged_ = false;
    return true;
}

void SectionForm::switchSheet(int index) {
    if (dimChanged_) applyDimension();
    showSheet(index + 1);
}

// ---------------------------------------------------------------- procedures

void SectionForm::open() {
    const SectionInfo* si = info();
    SectionCore* c = core();
    if (!si || !c) return;
    const std::string path = host_.prompter().chooseOpenFile(host_.shell().dataFolder(), si->dataFilter);
    if (path.empty()) return;

    NullSurface surface;  // reading draws nothing
    Store& g = host_.store();
    Ctx ctx{surface, host_.prompter(), host_.paths(), g};
    const std::string why = host_.shell().openChosenFile(*c, path, ctx, [&] {
        if (sizing_) {
            // A dimension whose grids the window cannot hold is refused before the fields
            // or the grids change.
            const int n = sizingKey_ == "LTAU" ? g.LTAU : g.NDIM;
            if (n > kMaxDimension)
                throw VeltaError("Окно ввода показывает таблицы размерности не более " + CStr(kMaxDimension) +
                                 ": " + sizingKey_ + " = " + CStr(n));
        }
        fillFields();
        dimChanged_ = false;
        fillGrids(false);
    });
    if (!why.empty()) {
        // A failed reading says what is wrong, as "&Ввод исходных данных" does; the file
        // that was current stays current.
        host_.prompter().message("Ошибка при вводе исходных данных.\n" + why, MsgIcon::Critical);
        return;
    }
    {
        const QSignalBlocker block(tabs_);
        tabs_->setCurrentIndex(0);
    }
    setSheetsVisible(true);
    if (isVisible()) raise();  // already open behind the main window
    show();
    activateWindow();
    edited_ = false;
}

void SectionForm::accept() {
    // The grids must match the sizing field before anything is written.
    if (dimChanged_ && !applyDimension()) return;
    setSheetsVisible(false);
    SectionCore* c = core();
    std::string written;  // the file the texts went to, empty when none
    if (edited_ && c) {
        const SectionInfo* si = info();
        const std::string path = host_.prompter().chooseSaveFile(host_.shell().dataFolder(),
                                                                 si ? si->dataFilter : std::string());
        if (path.empty()) {
            host_.store().SaveOK = 0;
        } else {
            written = withExtension(path, si ? si->dataExt : std::string());
            try {
                writeDataFile(written);
            } catch (const std::exception& e) {
                // Nothing is lost: the window stays open with the texts as they are.
                host_.prompter().message(e.what(), MsgIcon::Critical);
                setSheetsVisible(true);
                return;
            }
        }
    }
    if (!written.empty()) {
        host_.shell().afterWrite(*c, written);
        edited_ = false;
    } else {
        host_.shell().afterAccept(c ? c->shownName : std::string());
    }
    host_.commandsChanged();
    hide();
}

void SectionForm::cancel() {
    host_.shell().afterCancel();
    host_.commandsChanged();
    hide();
}

void SectionForm::closeEvent(QCloseEvent* e) {
    if (isVisible()) {
        // Not while a computation runs (the window is disabled then).
        if (!isEnabled()) {
            e->ignore();
            return;
        }
        host_.shell().afterCancel();
        host_.commandsChanged();
    }
    QWidget::closeEvent(e);
}

void SectionForm::help() { host_.showHelp(1002); }

}  // namespace velta
