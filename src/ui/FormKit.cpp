#include "ui/FormKit.h"

#include "core/KeyFilters.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>

namespace kzm {

namespace {

// Applies a key filter to the characters typed into a field; editing keys pass untouched.
class KeyFilterObject : public QObject {
public:
    KeyFilterObject(KeyFilter filter, QObject* parent) : QObject(parent), filter_(filter) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress)
            return QObject::eventFilter(watched, event);
        auto* key = static_cast<QKeyEvent*>(event);
        const QString text = key->text();
        if (text.size() != 1 || !text[0].isPrint())
            return false;
        QChar c = text[0];
        const bool accepted =
            filter_ == KeyFilter::Digits ? DigitKeyFilter(c) : DecimalKeyFilter(c);
        if (!accepted)
            return true;
        if (c != text[0]) {
            if (auto* edit = qobject_cast<QLineEdit*>(watched))
                edit->insert(QString(c));
            return true;
        }
        return false;
    }

private:
    KeyFilter filter_;
};

} // namespace

QPushButton* MakeButton(const QString& text, const QString& name, QWidget* parent) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

QSpinBox* MakeSpin(const QString& name, int min, int max, int step, QWidget* parent) {
    auto* s = new QSpinBox(parent);
    s->setObjectName(name);
    s->setRange(min, max);
    s->setSingleStep(step);
    return s;
}

QLineEdit* MakeEdit(const QString& name, QWidget* parent) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(name);
    return e;
}

QLineEdit* MakeReadOnly(const QString& name, QWidget* parent) {
    QLineEdit* e = MakeEdit(name, parent);
    e->setReadOnly(true);
    e->setFocusPolicy(Qt::NoFocus);
    return e;
}

QCheckBox* MakeCheck(const QString& text, const QString& name, QWidget* parent) {
    auto* c = new QCheckBox(text, parent);
    c->setObjectName(name);
    return c;
}

void ForceCase(QLineEdit* edit, bool upper) {
    QObject::connect(edit, &QLineEdit::textEdited, edit, [edit, upper](const QString& text) {
        const QString cased = upper ? text.toUpper() : text.toLower();
        if (cased == text)
            return;
        const int at = edit->cursorPosition();
        edit->setText(cased);
        edit->setCursorPosition(at);
    });
}

void FilterKeys(QLineEdit* edit, KeyFilter filter) {
    edit->installEventFilter(new KeyFilterObject(filter, edit));
}

} // namespace kzm

namespace kzm {

namespace {

QString BoxText(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    while (text.endsWith(u'\n'))
        text.chop(1);
    return text;
}

} // namespace

void WarnBox(QWidget* parent, const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::Warning, title, BoxText(text), QMessageBox::Ok, parent);
    box.exec();
}

bool AskBox(QWidget* parent, const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::Question, title, BoxText(text), QMessageBox::Yes | QMessageBox::No,
                    parent);
    return box.exec() == QMessageBox::Yes;
}

} // namespace kzm
