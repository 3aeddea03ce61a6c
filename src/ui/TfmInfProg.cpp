#include "ui/TfmInfProg.h"

#include "core/Session.h"
#include "ui/AppInfo.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace kzm {

namespace {

QLabel* MakeLabel(const QString& name, const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

} // namespace

TfmInfProg::TfmInfProg(const Session& session, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("fmInfProg"));
    setWindowTitle(QStringLiteral("Informacje o programie "));

    lbTytul_ = MakeLabel(QStringLiteral("lbTytul"), ProductTitle(), this);
    QFont titleFont = lbTytul_->font();
    titleFont.setPointSize(titleFont.pointSize() * 2);
    titleFont.setBold(true);
    lbTytul_->setFont(titleFont);
    lbTytul_->setAlignment(Qt::AlignCenter);

    lbNazwa_ = MakeLabel(QStringLiteral("lbNazwa"), session.designation, this);
    lbAdres_ = MakeLabel(QStringLiteral("lbAdres"), QString(), this);
    lbWersja_ = MakeLabel(QStringLiteral("lbWersja"), session.version, this);

    const QString exe = QCoreApplication::applicationFilePath();
    lbPath_ = MakeLabel(QStringLiteral("lbPath"), exe, this);
    lbData_ = MakeLabel(
        QStringLiteral("lbData"),
        QStringLiteral("( ") +
            QFileInfo(exe).lastModified().toString(QStringLiteral("dd.MM.yyyy hh:mm:ss")) +
            QStringLiteral(" )"),
        this);

    auto* fields = new QGridLayout;
    fields->addWidget(new QLabel(QStringLiteral("Nazwa firmy:"), this), 0, 0);
    fields->addWidget(lbNazwa_, 0, 1);
    fields->addWidget(new QLabel(QStringLiteral("Adres firmy:"), this), 1, 0);
    fields->addWidget(lbAdres_, 1, 1);
    fields->addWidget(new QLabel(QStringLiteral("Wersja:"), this), 2, 0);
    fields->addWidget(lbWersja_, 2, 1);
    fields->setColumnStretch(1, 1);

    auto* exeRow = new QHBoxLayout;
    exeRow->addWidget(lbPath_, 1);
    exeRow->addWidget(lbData_);

    auto* gbProducent = new QGroupBox(QStringLiteral(" Producent "), this);
    gbProducent->setObjectName(QStringLiteral("gbProducent"));
    auto* producer = new QVBoxLayout(gbProducent);
    producer->addWidget(MakeLabel(QStringLiteral("lbProducent"), ProductTitle(), gbProducent));
    producer->addWidget(MakeLabel(QStringLiteral("lbProducentWersja"),
                                  QStringLiteral("Wersja:") + session.version, gbProducent));

    btnZamknij_ = new QPushButton(QStringLiteral("Zamknij"), this);
    btnZamknij_->setObjectName(QStringLiteral("btnZamknij"));
    btnZamknij_->setDefault(true);
    connect(btnZamknij_, &QPushButton::clicked, this, &QDialog::close);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnZamknij_);
    buttons->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lbTytul_);
    layout->addLayout(fields);
    layout->addLayout(exeRow);
    layout->addWidget(gbProducent);
    layout->addLayout(buttons);
}

} // namespace kzm
