// Questions and messages of the desktop program as real dialogs: message boxes, input
// boxes, Yes/No questions, open and save dialogs, the main window's progress bar and a
// note in its status bar.
#pragma once
#include "app/prompter.h"

#include <QPointer>

#include <QString>
#include <functional>

class QLabel;
class QWidget;
class QProgressBar;
class QStatusBar;

namespace velta {

class QtPrompter : public Prompter {
public:
    explicit QtPrompter(QWidget* parent = nullptr);

    void setProgressBar(QProgressBar* bar);
    void setStatusBar(QStatusBar* bar);
    // Notes go into this label (status panel 1) instead of replacing the whole bar.
    void setNotePanel(QLabel* panel);
    // The last note given, "" when none since clearNote().
    const std::string& lastNote() const { return lastNote_; }
    void clearNote() { lastNote_.clear(); }

    // The window a box belongs to: the window that raised it (the active modal box or the
    // active window of the package), else the main window. Boxes stay above their owner.
    QWidget* owner() const;

    void message(const std::string& text, MsgIcon icon = MsgIcon::None,
                 const std::string& title = kTitle) override;
    std::string inputBox(const std::string& prompt, const std::string& title,
                         const std::string& defaultText = "", int x = -1, int y = -1) override;
    bool emptyAnswerWasCancel() const override { return lastCancelled_; }
    bool askYesNo(const std::string& text, const std::string& title = kTitle) override;
    std::string chooseOpenFile(const std::string& folder, const std::string& filter) override;
    std::string chooseSaveFile(const std::string& folder, const std::string& filter) override;
    void progressShow(int maximum) override;
    void progressValue(int value) override;
    void progressHide() override;
    void note(const std::string& text) override;

    // "Файлы данных (*.mnkd)|*.mnkd|Все файлы (*.*)|*.*|" as a file-dialog filter list:
    // "Файлы данных (*.mnkd);;Все файлы (*)". Patterns separated by ";" become one group.
    static QString qtFilter(const std::string& filter);

    // Called before every modal box, so that what a run drew since the last repaint is
    // on the screen while the question is asked.
    std::function<void()> beforeModal;

private:
    std::string fileDialog(bool save, const std::string& folder, const std::string& filter);

    QPointer<QWidget> parent_;
    QPointer<QProgressBar> progress_;
    QPointer<QStatusBar> status_;
    QPointer<QLabel> notePanel_;
    std::string lastNote_;
    bool lastCancelled_ = false;
};

}  // namespace velta
