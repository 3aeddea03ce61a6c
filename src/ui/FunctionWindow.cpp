#include "ui/FunctionWindow.h"

#include "core/Session.h"
#include "ui/AppContext.h"
#include "ui/HelpWindow.h"
#include "ui/WindowHost.h"

#include <QCloseEvent>
#include <QKeyEvent>

namespace kzm {

FunctionWindow::FunctionWindow(WindowHost& host, const QString& componentName,
                               const QString& caption)
    : QWidget(nullptr), host_(host), caption_(caption) {
    setObjectName(componentName);
    setAttribute(Qt::WA_DeleteOnClose);
}

AppContext& FunctionWindow::ctx() const {
    return host_.ctx();
}

void FunctionWindow::showEvent(QShowEvent* event) {
    ctx().s.SetErrContext(objectName(), QString(), QString());
    if (!captionShown_) {
        captionShown_ = true;
        host_.SetChCaption(caption_);
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
            host_.ClrChCaption();
        else
            host_.RemChCaption();
    }
}

void FunctionWindow::hideKeepingAlive() {
    if (captionShown_) {
        captionShown_ = false;
        host_.RemChCaption();
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
