#include "app/qt/qtprompter.h"

#include "data/forms/qtext.h"

#include <QApplication>
#include <QFileDialog>
#include <QGuiApplication>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QScreen>
#include <QStatusBar>
#include <QStringList>

namespace velta {

namespace {

QMessageBox::Icon boxIcon(MsgIcon icon) {
    switch (icon) {
    case MsgIcon::Information: return QMessageBox::Information;
    case MsgIcon::Exclamation: return QMessageBox::Warning;
    case MsgIcon::Critical: return QMessageBox::Critical;
    default: return QMessageBox::NoIcon;
    }
}

}  // namespace

QtPrompter::QtPrompter(QWidget* parent) : parent_(parent) {}

void QtPrompter::setProgressBar(QProgressBar* bar) { progress_ = bar; }
void QtPrompter::setStatusBar(QStatusBar* bar) { status_ = bar; }
void QtPrompter::setNotePanel(QLabel* panel) { notePanel_ = panel; }

QWidget* QtPrompter::owner() const {
    if (QWidget* modal = QApplication::activeModalWidget()) return modal;
    QWidget* active = QApplication::activeWindow();
    if (!active || !active->isVisible()) return parent_;
    // Only the main window or a window it owns (a section window, a dialog).
    for (QWidget* w = active; w; w = w->parentWidget())
        if (!parent_ || w == parent_) return active;
    return parent_;
}

void QtPrompter::message(const std::string& text, MsgIcon icon, const std::string& title) {
    if (beforeModal) beforeModal();
    QMessageBox box(boxIcon(icon), q(title), q(text), QMessageBox::Ok, owner());
    box.exec();
}

std::string QtPrompter::inputBox(const std::string& prompt, const std::string& title,
                                 const std::string& defaultText, int x, int y) {
    if (beforeModal) beforeModal();
    QInputDialog dlg(owner());
    dlg.setWindowTitle(q(title));
    dlg.setLabelText(q(prompt));
    dlg.setTextValue(q(defaultText));
    dlg.setInputMode(QInputDialog::TextInput);
    if (x >= 0 && y >= 0) {
        // Position on the screen: (0, 0) is its top-left corner.
        QScreen* screen = parent_ ? parent_->screen() : QGuiApplication::primaryScreen();
        const QPoint origin = screen ? screen->geometry().topLeft() : QPoint(0, 0);
        dlg.move(origin + QPoint(x, y));
    }
    lastCancelled_ = dlg.exec() != QDialog::Accepted;
    if (lastCancelled_) return {};
    return dlg.textValue().toStdString();
}

bool QtPrompter::askYesNo(const std::string& text, const std::string& title) {
    if (beforeModal) beforeModal();
    QMessageBox box(QMessageBox::Question, q(title), q(text), QMessageBox::Yes | QMessageBox::No, owner());
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

QString QtPrompter::qtFilter(const std::string& filter) {
    const QStringList parts = q(filter).split('|');
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString desc = parts[i].trimmed();
        const QString pattern = parts[i + 1].trimmed();
        if (desc.isEmpty() && pattern.isEmpty()) continue;
        QStringList globs;
        for (const QString& g : pattern.split(';', Qt::SkipEmptyParts)) {
            const QString t = g.trimmed();
            globs << (t == "*.*" ? QStringLiteral("*") : t);  // every file, with or without a dot
        }
        if (globs.isEmpty()) globs << "*";
        // The dialog takes the patterns from the last bracket of the description.
        const int open = desc.lastIndexOf('(');
        if (desc.endsWith(')') && open >= 0) desc = desc.left(open).trimmed();
        out << desc + " (" + globs.join(' ') + ")";
    }
    return out.join(";;");
}

std::string QtPrompter::fileDialog(bool save, const std::string& folder, const std::string& filter) {
    QFileDialog dlg(owner());
    dlg.setOption(QFileDialog::DontUseNativeDialog);
    dlg.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dlg.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dlg.setDirectory(q(folder));
    const QString f = qtFilter(filter);
    if (!f.isEmpty()) dlg.setNameFilter(f);
    if (dlg.exec() != QDialog::Accepted) return {};
    const QStringList chosen = dlg.selectedFiles();
    if (chosen.isEmpty()) return {};
    return QDir::toNativeSeparators(chosen.first()).toStdString();
}

std::string QtPrompter::chooseOpenFile(const std::string& folder, const std::string& filter) {
    return fileDialog(false, folder, filter);
}

std::string QtPrompter::chooseSaveFile(const std::string& folder, const std::string& filter) {
    return fileDialog(true, folder, filter);
}

void QtPrompter::progressShow(int maximum) {
    if (!progress_) return;
    progress_->setRange(0, std::max(1, maximum));
    progress_->setValue(0);
    progress_->show();
    progress_->raise();
}

void QtPrompter::progressValue(int value) {
    if (progress_) progress_->setValue(std::clamp(value, progress_->minimum(), progress_->maximum()));
}

void QtPrompter::progressHide() {
    if (progress_) progress_->hide();
}

void QtPrompter::note(const std::string& text) {
    lastNote_ = text;
    if (notePanel_) {
        notePanel_->setText(q(text));
        notePanel_->setToolTip(q(text));
    } else if (status_) {
        status_->showMessage(q(text));
    }
}

}  // namespace velta
