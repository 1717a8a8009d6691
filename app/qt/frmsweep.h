// "Серия расчётов…": a sweep of one or two parameters of the current section's data file,
// run on the local cores by velta-sweep (the same program as on the command line) with a
// progress bar and a stop button; the line plot or heat map goes to the canvas, the table
// can be opened in the text view.
#pragma once
#include "app/sweep.h"

#include <QDialog>
#include <QProcess>

#include <memory>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;

namespace velta {

class MainWindow;

class FrmSweep : public QDialog {
    Q_OBJECT
public:
    // section and dataPath: the current section and its data file.
    FrmSweep(MainWindow& main, int section, const std::string& dataPath, const std::string& task,
             QWidget* parent = nullptr);
    ~FrmSweep() override;

    // The velta-sweep arguments for the choices in the dialog; "" in why when they are incomplete.
    QStringList arguments(QString& why) const;
    QString folder() const;
    bool running() const;

    // ---- widgets (tests drive them)
    struct AxisRow {
        QCheckBox* use = nullptr;
        QComboBox* key = nullptr;
        QLineEdit* from = nullptr;
        QLineEdit* to = nullptr;
        QSpinBox* count = nullptr;
        QCheckBox* log = nullptr;
    };
    AxisRow axes[2];
    QComboBox* field = nullptr;
    QSpinBox* jobs = nullptr;
    QLineEdit* out = nullptr;
    QProgressBar* progress = nullptr;
    QLabel* status = nullptr;
    QPushButton* start = nullptr;
    QPushButton* stop = nullptr;
    QPushButton* table = nullptr;

    void startSweep();
    void stopSweep();
    void openTable();

signals:
    void sweepFinished(int exitCode);

private:
    void readOutput();
    void done(int exitCode);

    MainWindow& main_;
    int section_;
    std::string dataPath_, task_;
    std::unique_ptr<QProcess> proc_;
    QString lastError_;
    QByteArray pending_;
};

}  // namespace velta
