#include "app/TfmLog.h"

#include "core/Session.h"
#include "db/Schema.h"
#include "db/Tdm.h"
#include "fb/Database.h"
#include "ui/AppInfo.h"
#include "ui/FormKit.h"
#include "ui/HelpWindow.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace kzm {

TfmLog::TfmLog(Session& s, Tdm& dm, QWidget* parent) : QDialog(parent), s_(s), dm_(dm) {
    setObjectName(QStringLiteral("fmLog"));
    setWindowTitle(ProductTitle());
    setAttribute(Qt::WA_DeleteOnClose);
    create_ = s_.ini.readInteger(QStringLiteral("Main"), QStringLiteral("CreateBaza"), 0) == 1;

    auto* column = new QVBoxLayout(this);

    auto* banner = new QLabel(ProductTitle(), this);
    banner->setObjectName(QStringLiteral("lbTytul"));
    QFont big = banner->font();
    big.setPointSize(20);
    big.setBold(true);
    banner->setFont(big);
    banner->setAlignment(Qt::AlignCenter);
    column->addWidget(banner);

    auto* about = new QGroupBox(QStringLiteral("Informacja o programie"), this);
    about->setObjectName(QStringLiteral("gbInfo"));
    auto* aboutRow = new QHBoxLayout(about);
    auto* picture = new QLabel(about);
    picture->setObjectName(QStringLiteral("imLogo"));
    picture->setPixmap(style()->standardPixmap(QStyle::SP_ComputerIcon));
    aboutRow->addWidget(picture);
    auto* aboutForm = new QFormLayout();
    edVersion_ = MakeReadOnly(QStringLiteral("edWersja"), about);
    edFirma_ = MakeReadOnly(QStringLiteral("edFirma"), about);
    aboutForm->addRow(QStringLiteral("Wersja programu:"), edVersion_);
    aboutForm->addRow(QStringLiteral("Firma:"), edFirma_);
    aboutRow->addLayout(aboutForm, 1);
    column->addWidget(about);

    auto* form = new QFormLayout();
    lbUser_ = new QLabel(QStringLiteral("Użytkownik"), this);
    edUser_ = new QLineEdit(this);
    edUser_->setObjectName(QStringLiteral("edUser"));
    edUser_->setMaxLength(12);
    ForceCase(edUser_, true);
    form->addRow(lbUser_, edUser_);
    lbPass_ = new QLabel(QStringLiteral("Hasło"), this);
    edPass_ = new QLineEdit(this);
    edPass_->setObjectName(QStringLiteral("edPass"));
    edPass_->setEchoMode(QLineEdit::Password);
    edPass_->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));
    ForceCase(edPass_, false);
    form->addRow(lbPass_, edPass_);
    column->addLayout(form);

    lbInfo_ = new QLabel(this);
    lbInfo_->setObjectName(QStringLiteral("lbInfo"));
    lbInfo_->setAlignment(Qt::AlignCenter);
    QFont bold = lbInfo_->font();
    bold.setBold(true);
    lbInfo_->setFont(bold);
    lbInfo_->setAutoFillBackground(true);
    lbInfo_->setWordWrap(true);
    lbInfo_->hide();
    column->addWidget(lbInfo_);

    lbPath_ = new QLabel(QStringLiteral("Ustal poprawną ścieżkę dostępu do bazy danych"), this);
    lbPath_->setObjectName(QStringLiteral("lbPth"));
    edPath_ = new QLineEdit(this);
    edPath_->setObjectName(QStringLiteral("edPth"));
    edPath_->setMinimumWidth(420);
    column->addWidget(lbPath_);
    column->addWidget(edPath_);
    setPathVisible(false);

    auto* buttons = new QHBoxLayout();
    btnWejscie_ = new QPushButton(QStringLiteral("&Wejście"), this);
    btnWejscie_->setObjectName(QStringLiteral("btnWejscie"));
    btnZamknij_ = new QPushButton(QStringLiteral("&Zamknij"), this);
    btnZamknij_->setObjectName(QStringLiteral("btnZamknij"));
    for (QPushButton* b : {btnWejscie_, btnZamknij_}) {
        b->setAutoDefault(false);
        b->setDefault(false);
        buttons->addWidget(b);
    }
    column->addLayout(buttons);
    connect(btnWejscie_, &QPushButton::clicked, this, &TfmLog::Wejscie);
    connect(btnZamknij_, &QPushButton::clicked, this, &TfmLog::Zamknij);

    for (QLineEdit* e : {edUser_, edPass_, edPath_})
        e->installEventFilter(this);
}

void TfmLog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    s_.SetErrContext(objectName(), QString(), QString());
    edUser_->setText(s_.user);
    edPass_->setText(s_.password);
    edPath_->setText(s_.dbPath);
    edVersion_->setText(QStringLiteral(" ") + s_.version);
    edFirma_->setText(QStringLiteral(" ") + s_.designation);
    s_.localServer = IsLocalDatabase(s_.dbPath);
    setCredentialsVisible(!s_.localServer);
    (s_.localServer ? btnWejscie_ : static_cast<QWidget*>(edUser_))->setFocus();
}

void TfmLog::setCredentialsVisible(bool visible) {
    for (QWidget* w : std::initializer_list<QWidget*>{lbUser_, edUser_, lbPass_, edPass_})
        w->setVisible(visible);
}

void TfmLog::setPathVisible(bool visible) {
    lbPath_->setVisible(visible);
    edPath_->setVisible(visible);
}

void TfmLog::showInfo(const QString& text, const QColor& background) {
    QPalette p = lbInfo_->palette();
    p.setColor(QPalette::Window, background);
    p.setColor(QPalette::WindowText, Qt::white);
    lbInfo_->setPalette(p);
    lbInfo_->setText(text);
    lbInfo_->show();
    s_.Repaint();
}

void TfmLog::Wejscie() {
    setPathVisible(false);
    showInfo(QStringLiteral("Łączenie z bazą ..."), Qt::blue);

    s_.dbPath = edPath_->text().trimmed();
    s_.user = edUser_->text();
    s_.password = edPass_->text();
    s_.localServer = IsLocalDatabase(s_.dbPath);
    if (s_.localServer) {
        s_.user = QStringLiteral("SYSDBA");
        s_.password = QStringLiteral("pantrykey");
    } else if (!s_.ini.exists()) {
        create_ = false;
    }

    bool create = create_;
    if (!decideCreation(create))
        return;

    {
        BusyCursor busy(s_);
        if (!create) {
            dm_.BazaConnect();
        } else {
            Schema schema(dm_);
            schema.ZakladanieBazy(1, [this](const QString& name) {
                showInfo(QStringLiteral("Zakładanie bazy: ") + name, Qt::blue);
            });
        }
        if (create_) {
            s_.ini.writeInteger(QStringLiteral("Main"), QStringLiteral("CreateBaza"), 0);
            create_ = false;
        }
    } // the normal cursor is back

    switch (s_.connectionStatus) {
    case Status::connected:
        s_.ini.writeString(QStringLiteral("IbPths"), QStringLiteral("Pth0"), s_.dbPath);
        lbInfo_->hide();
        accept();
        break;
    case Status::badLogin:
    case Status::openFailed:
        showNoAccess();
        break;
    default:
        s_.terminate = true;
        done(QDialog::Rejected);
        break;
    }
}

void TfmLog::showNoAccess() {
    showInfo(QStringLiteral("Brak dostępu do bazy (") + QString::number(s_.connectionStatus) +
                 QStringLiteral(")"),
             Qt::red);
    setPathVisible(true);
    setCredentialsVisible(true);
    edUser_->setFocus();
}

bool TfmLog::decideCreation(bool& create) {
    const auto yes = [this](const QString& question) { return ask && ask(question); };
    if (!create) {
        // Only a local file is looked for; a server's database is found by connecting to it.
        if (!s_.localServer || DatabaseExists(s_))
            return true;
        // A first start without the creation flag, or a path typed wrong; declined, the
        // attempt to connect tells the cause.
        create = yes(QStringLiteral("Nie ma bazy danych\r") + s_.dbPath +
                     QStringLiteral("\rCzy założyć nową bazę?"));
        return true;
    }
    if (!DatabaseExists(s_))
        return true;

    QString question = QStringLiteral("Pod ścieżką\r") + s_.dbPath +
                       QStringLiteral("\rjest już baza danych. Nowa baza zastąpi ją "
                                      "i wszystkie jej dane.\r");
    question += s_.localServer
                    ? QStringLiteral("Kopia obecnej bazy zostanie zapisana w katalogu Kopie.\r")
                    : QStringLiteral("Bazy na serwerze program nie kopiuje.\r");
    if (!yes(question + QStringLiteral("Czy założyć nową bazę?"))) {
        // The database stays and is opened; the flag is not left to ask again.
        create = false;
        return true;
    }
    if (s_.localServer) {
        const QString copy = KeepDatabaseCopy(fb::DatabasePath::parse(s_.dbPath).file, s_.backupDir,
                                              now ? now() : QDateTime());
        if (copy.isEmpty()) {
            s_.ShowMessage(QStringLiteral("Nie udało się zapisać kopii bazy w katalogu Kopie.\r"
                                          "Nowa baza nie została założona."));
            s_.connectionStatus = Status::openFailed;
            showNoAccess();
            return false;
        }
        s_.WriteHist(QStringLiteral("Kopia bazy przed założeniem nowej: ") + copy);
    }
    return true;
}

void TfmLog::Zamknij() {
    s_.terminate = true;
    done(QDialog::Rejected);
}

void TfmLog::reject() {
    Zamknij();
}

void TfmLog::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Escape:
        if (edPath_->isVisible()) {
            setPathVisible(false);
            (edUser_->isVisible() ? static_cast<QWidget*>(edUser_) : btnWejscie_)->setFocus();
        } else {
            Zamknij();
        }
        return;
    case Qt::Key_F2:
        setPathVisible(true);
        edPath_->setFocus();
        return;
    case Qt::Key_F1:
        ShowHelp(s_, helpContextNumber, this);
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // No default button: Enter acts in the fields and on the button that has the focus.
        if (auto* b = qobject_cast<QPushButton*>(focusWidget()))
            b->click();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

bool TfmLog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            if (watched == edUser_) {
                edPass_->setFocus();
                return true;
            }
            if (watched == edPass_ || watched == edPath_) {
                Wejscie();
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace kzm
