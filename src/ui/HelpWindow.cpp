#include "ui/HelpWindow.h"

#include "core/Session.h"
#include "ui/AppInfo.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace kzm {

HelpWindow::HelpWindow(const QString& page, QWidget* parent)
    : QDialog(parent), browser_(new QTextBrowser(this)) {
    setObjectName(QStringLiteral("fmHelp"));
    setWindowTitle(ProductTitle() + QStringLiteral(" - Pomoc"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(this);
    browser_->setObjectName(QStringLiteral("reHelp"));
    browser_->setOpenLinks(true);
    browser_->setSearchPaths({QFileInfo(page).absolutePath()});
    browser_->setSource(QUrl::fromLocalFile(page));
    layout->addWidget(browser_);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("Zamknij"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(720, 560);
}

namespace {
void open(Session& s, const QString& page, QWidget* parent) {
    if (page.isEmpty()) {
        s.ShowMessage(QStringLiteral("Brak pliku z pomocą"));
        return;
    }
    auto* w = new HelpWindow(page, parent);
    w->show();
}
} // namespace

void ShowHelp(Session& s, int context, QWidget* parent) {
    open(s, s.HelpPage(context), parent);
}

void ShowHelpContents(Session& s, QWidget* parent) {
    const QString page = s.helpDir + QStringLiteral("index.html");
    open(s, QFile::exists(page) ? page : QString(), parent);
}

} // namespace kzm
