#include "app/TfmMain.h"

#include "app/TfmLog.h"
#include "db/Schema.h"
#include "db/Tdm.h"
#include "db/Tdmu.h"
#include "ui/AppContext.h"
#include "ui/AppInfo.h"
#include "ui/FormKit.h"
#include "ui/FunctionWindow.h"
#include "ui/HelpWindow.h"
#include "ui/StatusLamp.h"
#include "ui/TfmInfProg.h"
#include "ui/TfmUwaga.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScreen>
#include <QVBoxLayout>

namespace kzm {

namespace {

// The main window's progress gauge, lent to long operations.
class MainGauge : public ProgressGauge {
public:
    MainGauge(QProgressBar* bar, Session& s) : bar_(bar), s_(s) {}
    void start(int maximum) override {
        bar_->setMaximum(maximum);
        bar_->setValue(0);
        bar_->show();
        s_.Repaint();
    }
    void step() override { bar_->setValue(std::min(bar_->value() + 1, bar_->maximum())); }
    void setPosition(int position) override { bar_->setValue(position); }
    void end() override {
        bar_->hide();
        s_.Repaint();
    }

private:
    QProgressBar* bar_;
    Session& s_;
};

const char* const buttonTexts[functionSlotCount] = {"Dane",      "Wydruki", "Wykazy",
                                                    "Parametry", "Funkcje", "Rejestrator"};
const char* const buttonNames[functionSlotCount] = {"btnDane",      "btnWydruki", "btnWykazy",
                                                    "btnParametry", "btnFunkcje", "btnRCP"};

int slotIndex(FunctionSlot slot) {
    return static_cast<int>(slot);
}

const QColor skyBlue(166, 202, 240);

} // namespace

TfmMain::TfmMain(AppContext& ctx, QWidget* parent) : QMainWindow(parent), ctx_(ctx) {
    setObjectName(QStringLiteral("fmMain"));
    setWindowTitle(ProductTitle());
    login = [this] {
        auto* fmLog = new TfmLog(ctx_.s, ctx_.dm, this);
        fmLog->ask = [this](const QString& question) { return ctx_.Ask(question, UwagaRed, true); };
        fmLog->exec();
    };

    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("pnMain"));
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    // The button bar.
    auto* buttonBar = new QFrame(central);
    buttonBar->setObjectName(QStringLiteral("pnButtons"));
    buttonBar->setFrameShape(QFrame::StyledPanel);
    auto* buttons = new QHBoxLayout(buttonBar);
    buttons->setContentsMargins(4, 4, 4, 4);
    auto addButton = [&](const QString& text, const QString& name) {
        QPushButton* b = MakeButton(text, name, buttonBar);
        b->setMinimumWidth(90);
        buttons->addWidget(b);
        return b;
    };
    btnWyjscie_ = addButton(QStringLiteral("Wyjście"), QStringLiteral("btnWyjscie"));
    connect(btnWyjscie_, &QPushButton::clicked, this, &QWidget::close);
    for (int i = 0; i < functionSlotCount; ++i) {
        if (i == slotIndex(FunctionSlot::Rejestrator)) {
            btnInfo_ = addButton(QStringLiteral("Info"), QStringLiteral("btnInfo"));
        }
        buttons_[static_cast<size_t>(i)] =
            addButton(QString::fromUtf8(buttonTexts[i]), QString::fromLatin1(buttonNames[i]));
        buttons_[static_cast<size_t>(i)]->setEnabled(false);
        connect(buttons_[static_cast<size_t>(i)], &QPushButton::clicked, this,
                [this, i] { OpenFunction(static_cast<FunctionSlot>(i)); });
    }
    infoMenu_ = new QMenu(this);
    infoMenu_->setObjectName(QStringLiteral("pmInfo"));
    infoMenu_->addAction(QStringLiteral("O programie"), this, &TfmMain::openAbout);
    infoMenu_->addAction(QStringLiteral("Pomoc"), this, [this] { ShowHelpContents(ctx_.s, this); });
    connect(btnInfo_, &QPushButton::clicked, this,
            [this] { infoMenu_->popup(btnInfo_->mapToGlobal(QPoint(0, btnInfo_->height()))); });
    buttons->addStretch(1);
    lamp_ = new StatusLamp(lampIdle, buttonBar);
    buttons->addWidget(lamp_);
    column->addWidget(buttonBar);

    // The status bar.
    auto* statusBar = new QFrame(central);
    statusBar->setObjectName(QStringLiteral("pnStatus"));
    statusBar->setFrameShape(QFrame::StyledPanel);
    auto* status = new QHBoxLayout(statusBar);
    status->setContentsMargins(4, 2, 4, 2);
    cbPrinters_ = new QComboBox(statusBar);
    cbPrinters_->setObjectName(QStringLiteral("cbDrukarki"));
    cbPrinters_->setMinimumWidth(220);
    cbPrinters_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    connect(cbPrinters_, &QComboBox::currentIndexChanged, this, &TfmMain::printerChanged);
    status->addWidget(cbPrinters_);
    lbInfo_ = new QLabel(statusBar);
    lbInfo_->setObjectName(QStringLiteral("lbInfo"));
    QFont bold = lbInfo_->font();
    bold.setBold(true);
    lbInfo_->setFont(bold);
    lbInfo_->hide();
    status->addWidget(lbInfo_);
    pbGauge_ = new QProgressBar(statusBar);
    pbGauge_->setObjectName(QStringLiteral("pbGauge"));
    pbGauge_->setMaximumWidth(260);
    pbGauge_->hide();
    status->addWidget(pbGauge_);
    lbCaption_ = new QLabel(statusBar);
    lbCaption_->setObjectName(QStringLiteral("lbCaption"));
    lbCaption_->setFont(bold);
    lbCaption_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QPalette blue = lbCaption_->palette();
    blue.setColor(QPalette::WindowText, Qt::blue);
    lbCaption_->setPalette(blue);
    status->addWidget(lbCaption_, 1);
    column->addWidget(statusBar);

    // The client area.
    client_ = new QWidget(central);
    client_->setObjectName(QStringLiteral("pnClient"));
    client_->setAutoFillBackground(true);
    auto* clientLayout = new QGridLayout(client_);
    clientLayout->setContentsMargins(0, 0, 0, 0);
    column->addWidget(client_, 1);

    setCentralWidget(central);
    gauge_ = std::make_unique<MainGauge>(pbGauge_, ctx_.s);
    ctx_.s.SetMainGauge(gauge_.get());
}

TfmMain::~TfmMain() {
    ctx_.s.SetMainGauge(nullptr);
    if (ctx_.s.ui.showInfo) {
        ctx_.s.ui.showInfo = nullptr;
        ctx_.s.ui.setInfoVisible = nullptr;
    }
    for (auto& w : windows_)
        delete w.data();
}

void TfmMain::setFactory(FunctionSlot slot, Factory factory) {
    const auto i = static_cast<size_t>(slotIndex(slot));
    factories_[i] = std::move(factory);
    buttons_[i]->setEnabled(static_cast<bool>(factories_[i]));
}

FunctionWindow* TfmMain::functionWindow(FunctionSlot slot) const {
    return windows_[static_cast<size_t>(slotIndex(slot))].data();
}

QPushButton* TfmMain::button(FunctionSlot slot) const {
    return buttons_[static_cast<size_t>(slotIndex(slot))];
}

bool TfmMain::Start() {
    Session& s = ctx_.s;
    // The rebuild script of an earlier run is not to be run again.
    QFile::remove(QStringLiteral("run.sh"));
    s.terminate = false;
    s.connectionStatus = Status::notTried;
    login();
    if (s.terminate || s.connectionStatus != Status::connected) {
        s.terminate = true;
        return false;
    }
    ctx_.dmu = std::make_unique<Tdmu>(ctx_.dm);
    ctx_.connectionNumber = ctx_.dm.CurrConnection();
    ctx_.transactionNumber = ctx_.dm.CurrTrans();
    fillPrinters();
    // Without a window manager to maximise it (some remote desktops, a bare X server) the
    // window still takes the whole working area of its screen.
    if (const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen())
        setGeometry(screen->availableGeometry());
    setWindowState(windowState() | Qt::WindowMaximized);
    ClrChCaption();
    ctx_.dmu->InitParam(ctx_.params);
    Schema schema(ctx_.dm);
    schema.InneTestyAfter();
    setWindowTitle(ProductTitle() + QStringLiteral("  ") + s.version.trimmed());
    return true;
}

void TfmMain::fillPrinters() {
    ctx_.printers = ctx_.systemPrinters ? ctx_.systemPrinters() : QStringList();
    ctx_.printers << AppContext::pdfPrinterName();
    const QString remembered =
        ctx_.s.ini.readString(QStringLiteral("Main"), QStringLiteral("DefaultPrinter"),
                              ReadRegString(QStringLiteral("DefaultPrinter")));
    const int index =
        remembered.isEmpty() ? 0 : static_cast<int>(ctx_.printers.indexOf(remembered));
    const QSignalBlocker quiet(cbPrinters_);
    cbPrinters_->clear();
    cbPrinters_->addItems(ctx_.printers);
    cbPrinters_->setCurrentIndex(index);
    ctx_.selectedPrinter = index;
}

void TfmMain::printerChanged(int index) {
    ctx_.selectedPrinter = index;
    if (index >= 0)
        ctx_.s.ini.writeString(QStringLiteral("Main"), QStringLiteral("DefaultPrinter"),
                               cbPrinters_->itemText(index));
}

void TfmMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    ctx_.s.SetErrContext(objectName(), QString(), QString());
    btnWyjscie_->setFocus();
    ctx_.s.ui.showInfo = [this](const QString& text) {
        lbInfo_->setText(text);
        lbInfo_->show();
    };
    ctx_.s.ui.setInfoVisible = [this](bool visible) { lbInfo_->setVisible(visible); };
}

// ---- path caption

void TfmMain::SetChCaption(const QString& text) {
    QString caption = lbCaption_->text();
    if (!caption.isEmpty())
        caption += QStringLiteral(" / ");
    lbCaption_->setText(caption + text);
    ctx_.s.Repaint();
}

void TfmMain::RemChCaption() {
    const QString caption = lbCaption_->text();
    const int slash = static_cast<int>(caption.lastIndexOf('/'));
    // The part before the blank that precedes the last separator stays.
    lbCaption_->setText(slash < 0 ? QString() : caption.left(std::max(0, slash - 1)));
}

void TfmMain::ClrChCaption() {
    lbCaption_->clear();
}

QString TfmMain::chCaption() const {
    return lbCaption_->text();
}

// ---- function windows

QList<FunctionWindow*> TfmMain::openWindows() const {
    QList<FunctionWindow*> list;
    for (QObject* o : client_->children())
        if (auto* w = qobject_cast<FunctionWindow*>(o); w && !w->isClosed())
            list << w;
    return list;
}

void TfmMain::CloseLastForm() {
    for (FunctionWindow* w : openWindows())
        if (keptWindow_.isEmpty() || w->objectName() != keptWindow_)
            w->close();
    ctx_.releaseFmSF();
}

void TfmMain::showInClientArea(FunctionWindow* w) {
    w->setParent(client_);
    w->setWindowFlags(Qt::Widget | Qt::FramelessWindowHint);
    static_cast<QGridLayout*>(client_->layout())->addWidget(w, 0, 0);
    w->show();
    w->raise();
    w->setFocus();
}

void TfmMain::OpenFunction(FunctionSlot slot) {
    const auto i = static_cast<size_t>(slotIndex(slot));
    if (!factories_[i])
        return;
    QPointer<FunctionWindow>& ref = windows_[i];
    if (slot == FunctionSlot::Rejestrator) {
        CloseLastForm();
        if (ref.isNull()) {
            ctx_.registrationRunning = false;
            ref = factories_[i](*this);
        }
        showInClientArea(ref);
        QPalette p = client_->palette();
        p.setColor(QPalette::Window, skyBlue);
        client_->setPalette(p);
        return;
    }
    if (!ref.isNull()) {
        if (slot == FunctionSlot::Dane)
            ref->CloseChildren();
        return;
    }
    CloseLastForm();
    ref = factories_[i](*this);
    if (slot == FunctionSlot::Parametry)
        ref->setWindowTitle(buttons_[i]->text());
    showInClientArea(ref);
}

// ---- closing

void TfmMain::closeEvent(QCloseEvent* event) {
    FunctionWindow* terminal = functionWindow(FunctionSlot::Rejestrator);
    if (ctx_.registrationRunning) {
        const QList<FunctionWindow*> open = openWindows();
        if (open.size() + 1 > 2) {
            for (auto it = open.crbegin(); it != open.crend(); ++it)
                if (*it != terminal) {
                    (*it)->close();
                    break;
                }
        }
        event->ignore();
        if (terminal) {
            showInClientArea(terminal);
        }
        return;
    }
    if (terminal)
        terminal->close();
    ctx_.s.WriteHistDB(QStringLiteral("Koniec"), QString());
    event->accept();
}

// ---- the error handler

QString TfmMain::ErrorText(const ErrContext& c, const QString& message) {
    return QStringLiteral("FORM :") + c.form + QStringLiteral(" ; ") + c.operation +
           QStringLiteral(" , ") + c.detail + QStringLiteral("\r\n!!!!!!!!!!! ") + message;
}

void TfmMain::ApplicationError(const QString& message) {
    Session& s = ctx_.s;
    const QString text = ErrorText(s.errContext, message);
    s.WriteHistDB(text, QString());
    s.WriteHist(text);
    if (ctx_.showError)
        ctx_.showError(message);
    const bool stop = ctx_.Ask(QStringLiteral("Wystąpił błąd \r") + text +
                                   QStringLiteral("\rCzy przerwać pracę programu?"),
                               UwagaRed, true);
    s.TakeErrContext();
    if (stop && ctx_.terminateProgram)
        ctx_.terminateProgram();
}

// ---- lamp, gauge, about

// ---- the key handler

void TfmMain::TakeKeys(QWidget* handler) {
    keyHandler_ = handler;
}

void TfmMain::GiveKeysBack(QWidget* handler) {
    if (keyHandler_ == handler)
        keyHandler_ = nullptr;
}

bool TfmMain::passesKey() const {
    // A key the handler's own widgets left unhandled comes up here once; it is not sent round.
    const QWidget* focus = QApplication::focusWidget();
    return keyHandler_ && !passingKey_ && focus != keyHandler_ &&
           !(focus && keyHandler_->isAncestorOf(focus));
}

void TfmMain::keyPressEvent(QKeyEvent* event) {
    if (passesKey()) {
        const QScopedValueRollback passing(passingKey_, true);
        QCoreApplication::sendEvent(keyHandler_, event);
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void TfmMain::keyReleaseEvent(QKeyEvent* event) {
    if (passesKey()) {
        const QScopedValueRollback passing(passingKey_, true);
        QCoreApplication::sendEvent(keyHandler_, event);
        return;
    }
    QMainWindow::keyReleaseEvent(event);
}

void TfmMain::setLamp(const QColor& colour) {
    lamp_->setColour(colour);
}

QColor TfmMain::lamp() const {
    return lamp_->colour();
}

ProgressGauge& TfmMain::gauge() {
    return *gauge_;
}

void TfmMain::openAbout() {
    auto* about = new TfmInfProg(ctx_.s, this);
    about->setAttribute(Qt::WA_DeleteOnClose);
    about->exec();
}

} // namespace kzm
