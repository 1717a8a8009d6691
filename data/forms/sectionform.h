// The input-window framework every section window is built on: numbered sheets on a tab
// strip, labelled text fields, editable grids, the edited and dimension-changed marks,
// the open procedure and the three buttons "Ввод", "Отмена", "Справка".
#pragma once
#include "data/forms/formgrid.h"
#include "data/forms/formhost.h"
#include "data/store.h"

#include <QFrame>
#include <QLineEdit>
#include <QTabBar>
#include <QWidget>

#include <functional>
#include <string>
#include <vector>

class QLabel;
class QPushButton;

namespace velta {

class SectionCore;
struct SectionInfo;

// Object names of the three buttons (sections 3, 4 and 7 use cmdInput4, ...).
struct FormButtons {
    const char* input = "cmdINput1";
    const char* cancel = "cmdCancel1";
    const char* help = "cmdHelp1";
};

class SectionForm : public QWidget, public SectionWindow {
    Q_OBJECT
public:
    // Geometry of the tab strip and of the frames, in pixels.
    static constexpr int kTabLeft = 15, kTabTop = 33, kTabWidth = 767, kTabHeight = 488;
    static constexpr int kFrameLeft = 25, kFrameTop = 56, kFrameWidth = 747, kFrameHeight = 457;
    // Largest value of a field that sizes the grids: a 200 x 200 matrix grid takes some
    // 25 MB, 1000 x 1000 would take 640 MB. Larger dimensions are refused before any grid
    // is built (files of the computation itself keep the 16-bit range).
    static constexpr int kMaxDimension = 200;

    SectionForm(FormHost& host, int code, const QString& caption, int sheets, FormButtons buttons = {});

    // The open procedure (IshDanSym, ...): open dialog, InputPar, fill and show.
    void open() override;
    QWidget* widget() override { return this; }

    bool edited() const { return edited_; }
    bool dimensionChanged() const { return dimChanged_; }
    int sheetCount() const { return static_cast<int>(frames_.size()); }
    QTabBar* tabStrip() const { return tabs_; }
    QFrame* frame(int sheet) const { return frames_.at(static_cast<std::size_t>(sheet - 1)); }

    // The button handlers, also reachable by the buttons' clicks.
    void accept();  // "Ввод"
    void cancel();  // "Отмена"
    void help();    // "Справка"
    // Sheet switch to the tab of index (0-based), as a click on the tab strip does.
    void switchSheet(int index);

protected:
    // ---- building the sheets (coordinates inside the frame of the sheet, 1-based)
    QLabel* addLabel(int sheet, int x, int y, const QString& text, int width = 0);
    // Label right-aligned in [x, x + labelWidth), the field after it.
    QLineEdit* addField(int sheet, int x, int y, int labelWidth, const QString& label, const QString& name,
                        int fieldWidth = 110);
    FormGrid* addGrid(int sheet, int x, int y, const QString& name, int maxWidth = 717);
    // The field that sizes the grids: its change also sets the dimension-changed mark,
    // and every click into it shows the two-line reminder.
    void setSizingField(QLineEdit* field, const std::string& key, const std::string& reminder);

    // ---- what each section provides
    // Fill the fields from the store (host_.store()) after InputPar.
    virtual void fillFields() = 0;
    // (Re)build the grids at the current dimensions; "0" in every value cell when zeros.
    virtual void fillGrids(bool zeros) = 0;
    // Store the value of the sizing field into its store member (NDIM, LTAU, ...).
    virtual void setDimension(i16 n) = 0;
    // Table_File: write the data file from the fields and grids.
    virtual void writeDataFile(const std::string& path) = 0;
    // The section's core (reading of the data file, current path).
    virtual SectionCore* core();

    // The name shown in the status bar for a data-file path.
    std::string shownNameOf(const std::string& path) const;
    // Before "Ввод" writes the file at path: write(p) writes the texts to a scratch file
    // of the same name, which the section's own reader reads into the host's store and
    // `check` (the limits its computation needs, on that store; may be empty) judges (see
    // Shell::checkBeforeWrite). What they refuse is refused here with their message.
    void checkByReading(const std::string& path, const std::function<void(const std::string&)>& write,
                        const std::function<void()>& check = {});
    // Reads the sizing field into its store member and rebuilds the grids with "0"; a text that
    // is not a valid dimension gives a message and changes nothing. False when refused.
    bool applyDimension();
    void setEdited() { edited_ = true; }

    FormHost& host_;
    const int code_;

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;
    // The title-bar close acts as "Отмена".
    void closeEvent(QCloseEvent* e) override;

private:
    const SectionInfo* info() const;
    void showSheet(int sheet);
    void setSheetsVisible(bool on);
    void showReminder();

    QTabBar* tabs_ = nullptr;
    QFrame* pane_ = nullptr;
    std::vector<QFrame*> frames_;
    QLineEdit* sizing_ = nullptr;
    std::string sizingKey_, reminder_;
    bool edited_ = false;
    bool dimChanged_ = false;
};

}  // namespace velta
