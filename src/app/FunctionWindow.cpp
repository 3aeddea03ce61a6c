#include "app/FunctionWindow.h"

#include "app/AppContext.h"
#include "app/HelpWindow.h"
#include "app/TfmMain.h"
#include "core/Session.h"

#include <QCloseEvent>
#include <QKeyEvent>

namespace kzm {

FunctionWindow::FunctionWindow(TfmMain& main, const QString& componentName, const QString& caption)
    : QWidget(nullptr), main_(main), caption_(caption) {
    setObjectName(componentName);
    setAttribute(Qt::WA_DeleteOnClose);
}

AppContext& FunctionWindow::ctx() const {
    return main_.ctx();
}

void FunctionWindow::showEvent(QShowEvent* event) {
    ctx().s.SetErrContext(objectName(), QString(), QString());
    if (!captionShown_) {
        captionShown_ = true;
        main_.SetChCaption(caption_);
    }
    QWidget::showEvent(event);
}

void FunctionWindow::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    if (!event->isAccepted())
        return;
    closed_ = true;
    if (captionShown_) {
        captionShown_ = false;
        if (clearsCaption_)
            main_.ClrChCaption();
        else
            main_.RemChCaption();
    }
}

void FunctionWindow::hideKeepingAlive() {
    if (captionShown_) {
        captionShown_ = false;
        main_.RemChCaption();
    }
    hide();
}

void FunctionWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1 && helpContext_ != 0) {
        ShowHelp(ctx().s, helpContext_, this);
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace kzm
