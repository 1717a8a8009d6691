// The text view of the main window (rtbText1): one whole text file at a time, in a
// fixed-pitch font, on a background that tells what kind of file it is.
#pragma once
#include <QColor>
#include <QTextEdit>

#include <string>
#include <vector>

namespace velta {

class TextView : public QTextEdit {
    Q_OBJECT
public:
    // What the view shows: a file chosen with "&Открыть файл", a result file, or a
    // model-formulation / data-bank text (the only kind that a right click saves).
    enum class Kind { None, Opened, Result, Bank };

    static inline const QColor kOpenedBack{238, 238, 255};
    static inline const QColor kResultBack{255, 238, 238};
    static inline const QColor kBankBack{238, 255, 238};

    explicit TextView(QWidget* parent = nullptr);

    // The text is every line followed by a line end.
    void showLines(const std::vector<std::string>& lines, const QColor& background, Kind kind);
    Kind kind() const { return kind_; }
    QColor background() const;
    // The lines of the current text: what was shown, as edited.
    std::vector<std::string> lines() const;

    std::string savePath;  // the last model-formulation or data-bank text shown

signals:
    void rightClicked(QPoint globalPos);

protected:
    void mousePressEvent(QMouseEvent* e) override;

private:
    Kind kind_ = Kind::None;
};

}  // namespace velta
