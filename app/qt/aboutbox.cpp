#include "app/qt/aboutbox.h"

#include "app/qt/artwork.h"

#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace velta {

AboutBox::AboutBox(const QString& workFolder, QWidget* parent) : QDialog(parent) {
    setObjectName("frmAbout");
    setWindowTitle("   Пакет программ");
    setModal(false);

    auto* picture = new QLabel(this);
    picture->setObjectName("picIcon");
    picture->setPixmap(networkPicture(150, 150));
    picture->setFrameShape(QFrame::Panel);
    picture->setFrameShadow(QFrame::Sunken);

    auto* title = new QLabel("VELTA", this);
    title->setObjectName("lblTitle");
    QFont tf = title->font();
    tf.setPointSize(tf.pointSize() + 8);
    tf.setBold(true);
    title->setFont(tf);

    auto* subject = new QLabel("Численное исследование моделей\nгипотетических генных сетей (ГГС)", this);
    auto* version = new QLabel("Версия  05_03_14", this);
    version->setObjectName("lblVersion");

    auto* credits = new QLabel(
        "Интегрирование автономных систем и систем с запаздываниями,\n"
        "стационарные решения и их устойчивость, синтез сетей,\n"
        "графика на плоскости и трёхмерная картинка.\n\n"
        "Настольная версия на C++ и Qt 6.",
        this);
    credits->setObjectName("lblDescription");
    credits->setWordWrap(true);

    auto* folder = new QLabel(
        "Рабочая папка (файлы данных и результатов):\n" + QDir::toNativeSeparators(workFolder), this);
    folder->setObjectName("lblFolder");
    folder->setWordWrap(true);
    folder->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("cmdOK");
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::close);

    auto* text = new QVBoxLayout;
    text->addWidget(title);
    text->addWidget(subject);
    text->addWidget(version);
    text->addSpacing(8);
    text->addWidget(credits);
    text->addSpacing(8);
    text->addWidget(folder);
    text->addStretch();

    auto* top = new QHBoxLayout;
    top->addWidget(picture, 0, Qt::AlignTop);
    top->addSpacing(12);
    top->addLayout(text, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);

    auto* all = new QVBoxLayout(this);
    all->addLayout(top);
    all->addLayout(buttons);
    setFixedSize(sizeHint().expandedTo(QSize(520, 0)));
}

}  // namespace velta
