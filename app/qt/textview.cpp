#include "app/qt/textview.h"

#include <QFontDatabase>
#include <QMouseEvent>

namespace velta {

TextView::TextView(QWidget* parent) : QTextEdit(parent) {
    setObjectName("rtbText1");
    QFont f("Courier New", 10);
    f.setStyleHint(QFont::Monospace);
    f.setFixedPitch(true);
    if (!QFontInfo(f).fixedPitch()) f = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    setFont(f);
    setAcceptRichText(false);
    setLineWrapMode(QTextEdit::NoWrap);
    // The right button saves the text instead of opening the editing menu.
    setContextMenuPolicy(Qt::NoContextMenu);
}

void TextView::showLines(const std::vector<std::string>& lines, const QColor& background, Kind kind) {
    QString text;
    for (const auto& l : lines) {
        text += QString::fromStdString(l);
        text += '\n';
    }
    QPalette pal = palette();
    pal.setColor(QPalette::Base, background);
    setPalette(pal);
    setPlainText(text);
    kind_ = kind;
}

QColor TextView::background() const { return palette().color(QPalette::Base); }

std::vector<std::string> TextView::lines() const {
    QStringList parts = toPlainText().split('\n');
    // The shown text ends with a line end: no line follows it.
    if (!parts.isEmpty() && parts.last().isEmpty()) parts.removeLast();
    std::vector<std::string> out;
    out.reserve(parts.size());
    for (const auto& p : parts) out.push_back(p.toStdString());
    return out;
}

void TextView::mousePressEvent(QMouseEvent* e) {
    if (e->button() == Qt::RightButton) {
        emit rightClicked(e->globalPosition().toPoint());
        return;
    }
    QTextEdit::mousePressEvent(e);
}

}  // namespace velta
