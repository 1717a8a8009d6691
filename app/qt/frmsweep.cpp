#include "app/qt/frmsweep.h"

#include "app/prompter.h"
#include "app/qt/canvaswidget.h"
#include "app/qt/mainwindow.h"
#include "app/qt/textview.h"
#include "data/catalogue.h"
#include "data/dataoverride.h"
#include "data/forms/qtext.h"
#include "data/textfile.h"
#include "graphics/qt/qimagesurface.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QThread>
#include <QVBoxLayout>

#include <cmath>
#include <fstream>
#include <iterator>

namespace velta {

namespace {

bool isNumber(const QString& s) {
    bool ok = false;
    const double v = s.trimmed().toDouble(&ok);
    return ok && std::isfinite(v);
}

}  // namespace

FrmSweep::FrmSweep(MainWindow& main, int section, const std::string& dataPath, const std::string& task,
                   QWidget* parent)
    : QDialog(parent), main_(main), section_(section), dataPath_(dataPath), task_(task) {
    setWindowTitle("Серия расчётов");
    auto* layout = new QVBoxLayout(this);
    const SectionInfo* info = findSection(section);
    layout->addWidget(
        new QLabel(q((info ? info->caption : std::string()) + "\nФайл данных: " + dataPath), this));

    // The keys of the data file with their values: the single values can be swept.
    std::ifstream f(dataPath, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    std::vector<std::pair<QString, QString>> keys;
    const auto lines = splitLines(bytes);
    for (const auto& k : dataKeys(lines)) {
        if (k.kind == DataKeyKind::List) continue;
        const std::string& line = lines[static_cast<std::size_t>(k.line)];
        QString value;
        if (k.kind == DataKeyKind::Scalar) value = q(cp1251ToUtf8(line.substr(line.find(" = ") + 3)));
        else value = q(cp1251ToUtf8(line)).split(',').value(k.item - 1);
        keys.emplace_back(q(cp1251ToUtf8(k.name)), value);
    }

    auto* grid = new QGridLayout;
    const char* heads[] = {"", "Параметр", "от", "до", "точек", "лог."};
    for (int c = 0; c < 6; ++c) grid->addWidget(new QLabel(heads[c], this), 0, c);
    for (int r = 0; r < 2; ++r) {
        AxisRow& a = axes[r];
        a.use = new QCheckBox(r == 0 ? "1" : "2", this);
        a.use->setChecked(r == 0);
        a.use->setEnabled(r == 1);
        a.key = new QComboBox(this);
        for (const auto& [k, v] : keys) a.key->addItem(k, v);
        a.from = new QLineEdit(this);
        a.to = new QLineEdit(this);
        a.count = new QSpinBox(this);
        a.count->setRange(1, 1000);
        a.count->setValue(r == 0 ? 20 : 10);
        a.log = new QCheckBox(this);
        // A new parameter proposes the range from half to one and a half of its value.
        auto propose = [this, r] {
            AxisRow& x = axes[r];
            bool ok = false;
            const double v = x.key->currentData().toString().toDouble(&ok);
            x.from->setText(ok && v != 0 ? QString::number(v / 2, 'g', 6) : QString());
            x.to->setText(ok && v != 0 ? QString::number(v * 1.5, 'g', 6) : QString());
        };
        connect(a.key, &QComboBox::currentIndexChanged, this, propose);
        const int preferred = a.key->findText(r == 0 ? "ALFA" : "GAMA", Qt::MatchFixedString);
        if (preferred >= 0) a.key->setCurrentIndex(preferred);
        propose();
        QWidget* row[] = {a.use, a.key, a.from, a.to, a.count, a.log};
        for (int c = 0; c < 6; ++c) grid->addWidget(row[c], r + 1, c);
        if (r == 1) {
            auto enable = [this](bool on) {
                for (QWidget* w : {static_cast<QWidget*>(axes[1].key), static_cast<QWidget*>(axes[1].from),
                                   static_cast<QWidget*>(axes[1].to), static_cast<QWidget*>(axes[1].count),
                                   static_cast<QWidget*>(axes[1].log)})
                    w->setEnabled(on);
            };
            connect(a.use, &QCheckBox::toggled, this, enable);
            enable(false);
        }
    }
    layout->addLayout(grid);

    auto* opts = new QGridLayout;
    field = new QComboBox(this);
    for (const auto& name : summaryFields()) field->addItem(q(name));
    const bool hasPeriod = info && info->traits.periodSearch;
    field->setCurrentText(hasPeriod ? "period" : "amplitude");
    jobs = new QSpinBox(this);
    jobs->setRange(1, 256);
    jobs->setValue(std::max(1, QThread::idealThreadCount()));
    out = new QLineEdit(this);
    const QString stem = QFileInfo(q(dataPath)).completeBaseName();
    out->setText(QDir(q(main.paths().root())).filePath("Sweeps/" + stem));
    opts->addWidget(new QLabel("Величина на рисунке", this), 0, 0);
    opts->addWidget(field, 0, 1);
    opts->addWidget(new QLabel("Процессов", this), 1, 0);
    opts->addWidget(jobs, 1, 1);
    opts->addWidget(new QLabel("Папка серии", this), 2, 0);
    opts->addWidget(out, 2, 1);
    layout->addLayout(opts);

    progress = new QProgressBar(this);
    progress->setRange(0, 1);
    progress->setValue(0);
    layout->addWidget(progress);
    status = new QLabel(this);
    status->setWordWrap(true);
    layout->addWidget(status);

    auto* buttons = new QHBoxLayout;
    start = new QPushButton("Пуск", this);
    stop = new QPushButton("Стоп", this);
    table = new QPushButton("Таблица", this);
    auto* close = new QPushButton("Закрыть", this);
    stop->setEnabled(false);
    table->setEnabled(QFile::exists(folder() + "/sweep.csv"));
    for (QPushButton* b : {start, stop, table, close}) buttons->addWidget(b);
    layout->addLayout(buttons);
    connect(start, &QPushButton::clicked, this, &FrmSweep::startSweep);
    connect(stop, &QPushButton::clicked, this, &FrmSweep::stopSweep);
    connect(table, &QPushButton::clicked, this, &FrmSweep::openTable);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(out, &QLineEdit::textChanged, this,
            [this] { table->setEnabled(QFile::exists(folder() + "/sweep.csv")); });
}

FrmSweep::~FrmSweep() {
    // A sweep still running is stopped: the table keeps every point it finished.
    if (running()) {
        proc_->terminate();
        proc_->waitForFinished(10000);
    }
}

bool FrmSweep::running() const { return proc_ && proc_->state() != QProcess::NotRunning; }

QString FrmSweep::folder() const { return QDir::cleanPath(out->text().trimmed()); }

QStringList FrmSweep::arguments(QString& why) const {
    QStringList a = {"--root",    q(main_.paths().root()), "--section", QString::number(section_), "--data",
                     q(dataPath_)};
    if (!task_.empty()) a << "--task" << q(task_);
    QStringList used;
    for (const AxisRow& r : axes) {
        if (!r.use->isChecked()) continue;
        const QString key = r.key->currentText();
        if (key.isEmpty()) {
            why = "В файле данных нет параметров для серии";
            return {};
        }
        if (used.contains(key, Qt::CaseInsensitive)) {
            why = "Параметр " + key + " выбран дважды";
            return {};
        }
        used << key;
        if (!isNumber(r.from->text()) || !isNumber(r.to->text())) {
            why = "Границы параметра " + key + " должны быть числами";
            return {};
        }
        if (r.log->isChecked() && (r.from->text().toDouble() <= 0 || r.to->text().toDouble() <= 0)) {
            why = "Для логарифмической шкалы границы " + key + " должны быть больше 0";
            return {};
        }
        a << "--axis"
          << key + "=" + (r.log->isChecked() ? "log:" : "") + r.from->text().trimmed() + ":" +
                 r.to->text().trimmed() + ":" + QString::number(r.count->value());
    }
    if (folder().isEmpty()) {
        why = "Не указана папка серии";
        return {};
    }
    a << "--out" << folder() << "--jobs" << QString::number(jobs->value()) << "--field"
      << field->currentText() << "--progress-lines";
    return a;
}

void FrmSweep::startSweep() {
    if (running()) return;
    QString why;
    const QStringList args = arguments(why);
    if (!why.isEmpty()) {
        main_.prompter().message(why.toStdString(), MsgIcon::Exclamation);
        return;
    }
    const QString program = QCoreApplication::applicationDirPath() + "/velta-sweep";
    if (!QFileInfo(program).isExecutable()) {
        main_.prompter().message("Программа серии расчётов не найдена: " + program.toStdString(),
                                 MsgIcon::Critical);
        return;
    }
    proc_ = std::make_unique<QProcess>();
    connect(proc_.get(), &QProcess::readyReadStandardError, this, &FrmSweep::readOutput);
    connect(proc_.get(), &QProcess::finished, this, [this](int code, QProcess::ExitStatus) { done(code); });
    lastError_.clear();
    pending_.clear();
    progress->setRange(0, 0);
    status->setText("Идёт счёт…");
    start->setEnabled(false);
    stop->setEnabled(true);
    proc_->start(program, args);
    if (!proc_->waitForStarted(5000)) {
        lastError_ = proc_->errorString();
        done(-1);
    }
}

void FrmSweep::stopSweep() {
    if (!running()) return;
    status->setText("Остановка…");
    proc_->terminate();  // velta-sweep ends its runs and keeps the finished points
}

void FrmSweep::readOutput() {
    pending_ += proc_->readAllStandardError();
    for (int nl = pending_.indexOf('\n'); nl >= 0; nl = pending_.indexOf('\n')) {
        const QString line = QString::fromUtf8(pending_.left(nl));
        pending_.remove(0, nl + 1);
        const QStringList p = line.split(' ');
        if (p.size() >= 4 && p[0] == "progress") {
            progress->setRange(0, std::max(1, p[2].toInt()));
            progress->setValue(p[1].toInt());
            status->setText(QString("Точек: %1 из %2, с ошибкой: %3").arg(p[1], p[2], p[3]));
        } else if (line.startsWith("velta-sweep: ")) {
            lastError_ = line.mid(13);
        }
    }
}

void FrmSweep::done(int exitCode) {
    if (proc_) readOutput();
    start->setEnabled(true);
    stop->setEnabled(false);
    progress->setRange(0, std::max(1, progress->maximum()));
    const QString png = folder() + "/sweep.png";
    table->setEnabled(QFile::exists(folder() + "/sweep.csv"));
    if (QFile::exists(png)) main_.showPicture(QImage(png));
    if (exitCode == 0) {
        status->setText("Серия завершена: " + folder() + "/sweep.csv");
        progress->setValue(progress->maximum());
    } else {
        status->setText("Серия не завершена: " + lastError_);
        if (!lastError_.startsWith("stopped"))
            main_.prompter().message("Серия расчётов не завершена.\n" + lastError_.toStdString(),
                                     MsgIcon::Exclamation);
    }
    emit sweepFinished(exitCode);
}

void FrmSweep::openTable() { main_.showUtf8File((folder() + "/sweep.csv").toStdString()); }

// ---------------------------------------------------------------- the main window's side

void MainWindow::mnuSweep_Click() {
    SectionCore* core = shell_.current();
    if (!core || !shell_.info || shell_.info->group == 'B' || core->dataPath.empty()) {
        prompter().message("Сначала выберите раздел и откройте его файл данных", MsgIcon::Exclamation);
        return;
    }
    const std::string task = shell_.info->group == 'D' ? shell_.comboText : std::string();
    FrmSweep dlg(*this, shell_.section, core->dataPath, task.rfind("Tau", 0) == 0 ? task : std::string(),
                 this);
    dlg.exec();
}

void MainWindow::showPicture(const QImage& picture) {
    // The picture, scaled to the canvas, drawn row by row in runs of one colour.
    const QImage& canvas = surface_->image();
    const QImage img = picture.scaled(canvas.size(), Qt::KeepAspectRatio, Qt::SmoothTransformation)
                           .convertToFormat(QImage::Format_RGB32);
    const int x0 = (canvas.width() - img.width()) / 2, y0 = (canvas.height() - img.height()) / 2;
    surface_->clear();
    surface_->fillBox(0, 0, canvas.width(), canvas.height(), 0x00FFFFFF);
    for (int y = 0; y < img.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        for (int x = 0; x < img.width();) {
            int e = x + 1;
            while (e < img.width() && row[e] == row[x]) ++e;
            const QRgb c = row[x];
            const Colour colour = static_cast<Colour>(qRed(c) | (qGreen(c) << 8) | (qBlue(c) << 16));
            if (colour != 0x00FFFFFF) surface_->fillBox(x0 + x, y0 + y, x0 + e - 1, y0 + y, colour);
            x = e;
        }
    }
    shell_.welcomeVisible = false;
    canvasChanged();
}

bool MainWindow::showUtf8File(const std::string& path) {
    QFile f(QString::fromStdString(path));
    if (!f.open(QIODevice::ReadOnly)) {
        prompter().message("Файл " + path + " не найден", MsgIcon::Exclamation);
        return false;
    }
    std::vector<std::string> lines;
    for (const QByteArray& l : f.readAll().split('\n'))
        if (!l.isEmpty()) lines.push_back(l.toStdString());
    text_->showLines(lines, TextView::kResultBack, TextView::Kind::Result);
    text_->setReadOnly(true);
    shell_.textViewVisible = true;
    return true;
}

}  // namespace velta
