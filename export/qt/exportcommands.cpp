#include "export/qt/exportcommands.h"

#include "app/qt/canvaswidget.h"
#include "app/qt/mainwindow.h"
#include "app/qt/qtprompter.h"
#include "data/paths.h"
#include "export/sbml.h"
#include "graphics/qt/vectorsurface.h"
#include "models/export/modeldesc.h"

#include <QAction>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>

#include <exception>

namespace velta {

namespace {

const QStringList kPictureFilters = {"Рисунок PNG (*.png)", "Рисунок SVG (*.svg)", "Документ PDF (*.pdf)"};
const QStringList kModelFilters = {"Модель SBML (*.xml)", "Модель XPPAUT (*.ode)"};
const QStringList kCsvFilters = {"Таблица CSV (*.csv)"};

// "Рисунок PNG (*.png)" -> "png".
QString extensionOf(const QString& filter) {
    const int star = filter.indexOf("*.");
    return star < 0 ? QString() : filter.mid(star + 2, filter.indexOf(')', star) - star - 2);
}

// The prompter's filter list: "description|pattern|" pairs.
std::string pairs(const QStringList& filters) {
    QString s;
    for (const QString& f : filters) s += f + "|*." + extensionOf(f) + "|";
    return s.toStdString();
}

}  // namespace

ExportCommands::ExportCommands(MainWindow& w) : QObject(&w), w_(w) {
    setObjectName("ExportCommands");
    setResultsSink(&table_);
    w.setCommand("mnuSaveFig", [this] { mnuSaveFig_Click(); });
    w.setCommand("mnuExportModel", [this] { mnuExportModel_Click(); });
    w.setCommand("mnuSaveCsv", [this] { mnuSaveCsv_Click(); });
    if (auto* menu = w.findChild<QMenu*>("mnuDannye"))
        connect(menu, &QMenu::aboutToShow, this, [this] { refresh(); });
    refresh();
}

ExportCommands::~ExportCommands() {
    if (resultsSink() == &table_) setResultsSink(nullptr);
}

bool ExportCommands::canvasShown() const {
    const auto* canvas = w_.findChild<CanvasWidget*>();
    return canvas && !canvas->isHidden();
}

void ExportCommands::refresh() {
    auto* rec = dynamic_cast<RecordingImageSurface*>(&w_.surface());
    const bool running = w_.running();
    auto enable = [this](const char* name, bool on) {
        if (auto* a = w_.findChild<QAction*>(name)) a->setEnabled(on);
    };
    enable("mnuSaveFig", !running && rec && rec->hasPicture() && canvasShown());
    enable("mnuExportModel", !running && w_.shell().section != 0);
    enable("mnuSaveCsv", !running && !table_.empty());
}

std::string ExportCommands::chooseFile(const QString& title, const QStringList& filters) {
    const std::string folder = w_.paths().user();
    if (&w_.prompter() != &w_.dialogs()) return w_.prompter().chooseSaveFile(folder, pairs(filters));
    QFileDialog dlg(&w_, title);
    dlg.setOption(QFileDialog::DontUseNativeDialog);
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setFileMode(QFileDialog::AnyFile);
    dlg.setDirectory(QString::fromStdString(folder));
    dlg.setNameFilters(filters);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return {};
    QString path = dlg.selectedFiles().first();
    bool known = false;
    for (const QString& f : filters)
        known = known || QFileInfo(path).suffix().compare(extensionOf(f), Qt::CaseInsensitive) == 0;
    if (!known) path += "." + extensionOf(dlg.selectedNameFilter());
    return path.toStdString();
}

void ExportCommands::mnuSaveFig_Click() {
    auto* rec = dynamic_cast<RecordingImageSurface*>(&w_.surface());
    if (!rec || !rec->hasPicture()) {
        w_.prompter().message("На графическом окне нет рисунка.", MsgIcon::Exclamation);
        return;
    }
    const std::string path = chooseFile("Сохранить рисунок", kPictureFilters);
    if (path.empty()) return;
    const QString why = rec->save(QString::fromStdString(path));
    if (!why.isEmpty()) w_.prompter().message(why.toStdString(), MsgIcon::Critical);
    else w_.prompter().note("Рисунок сохранён: " + path);
}

void ExportCommands::mnuExportModel_Click() {
    SectionCore* core = w_.shell().current();
    if (!core || !hasModelExport(core->code())) {
        w_.prompter().message(noModelMessage(w_.shell().section), MsgIcon::Exclamation);
        return;
    }
    try {
        // The description first: a model that cannot be told asks for no file name.
        const ModelDesc m = describeModel(w_.shell().store(), *core);
        const std::string path = chooseFile("Экспорт модели", kModelFilters);
        if (path.empty()) return;
        const QString ext = QFileInfo(QString::fromStdString(path)).suffix().toLower();
        if (ext == "ode") writeXpp(m, path);
        else writeSbml(m, path);
        w_.prompter().note("Модель сохранена: " + path);
    } catch (const std::exception& e) {
        w_.prompter().message(e.what(), MsgIcon::Critical);
    }
}

void ExportCommands::mnuSaveCsv_Click() {
    if (table_.empty()) {
        w_.prompter().message("Таблица результатов пуста: выполните «Счёт»", MsgIcon::Exclamation);
        return;
    }
    const std::string path = chooseFile("Сохранить таблицу CSV", kCsvFilters);
    if (path.empty()) return;
    try {
        table_.writeCsv(path);
        w_.prompter().note("Таблица сохранена: " + path);
    } catch (const std::exception& e) {
        w_.prompter().message(e.what(), MsgIcon::Critical);
    }
}

}  // namespace velta
