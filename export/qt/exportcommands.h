// The window's commands that take figures, models and tables out of the package:
// "Сохранить рисунок…", "Экспорт модели…" and "Сохранить таблицу CSV…" in "&Данные".
// They plug into the main window by object name; their items are enabled whenever the
// menu opens, from what the canvas, the section and the last run hold.
#pragma once
#include "models/export/resultsink.h"

#include <QObject>
#include <QString>

#include <string>

namespace velta {

class MainWindow;

class ExportCommands : public QObject {
public:
    // Owned by the window (its child); collects the results rows of every run from now on.
    explicit ExportCommands(MainWindow& w);
    ~ExportCommands() override;

    void mnuSaveFig_Click();
    void mnuExportModel_Click();
    void mnuSaveCsv_Click();
    // Enables the three items from the state of the window.
    void refresh();

    const ResultsTable& table() const { return table_; }

private:
    // The save dialog: the window's own with the filters (the chosen filter's extension is
    // added to a name without one), or the prompter a test put in. Empty for Cancel.
    std::string chooseFile(const QString& title, const QStringList& filters);
    bool canvasShown() const;

    MainWindow& w_;
    ResultsTable table_;
};

}  // namespace velta
