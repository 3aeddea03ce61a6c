#include "ListsFormsTest.h"

#include "core/Literals.h"
#include "db/Tdm.h"
#include "support/WhenModal.h"

#include <QApplication>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QScopedValueRollback>
#include <QTest>

using namespace kzm;

namespace listsforms {

bool ListsFormsTest::answering_ = false;

void ListsFormsTest::SetUp() {
    MainWindowTest::SetUp();
    startMain();
    SetFunctionWindows(*main);
    unexpectedBoxes_.setInterval(20);
    QObject::connect(&unexpectedBoxes_, &QTimer::timeout, [] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (answering_ || !box)
            return;
        ADD_FAILURE() << "a box nobody expected: " << box->windowTitle().toStdString() << ": "
                      << box->text().toStdString();
        box->reject();
    });
    unexpectedBoxes_.start();
}

TfmWykazy* ListsFormsTest::openHub() {
    main->button(FunctionSlot::Wykazy)->click();
    settle();
    auto* hub = qobject_cast<TfmWykazy*>(main->functionWindow(FunctionSlot::Wykazy));
    EXPECT_TRUE(hub);
    return hub;
}

FunctionWindow* ListsFormsTest::openList(TfmWykazy* hub, const char* button) {
    if (auto* b = child<QPushButton>(hub, button))
        b->click();
    settle();
    for (int i = 0; i < wykazySlotCount; ++i)
        if (FunctionWindow* w = hub->listWindow(static_cast<WykazySlot>(i)))
            return w;
    ADD_FAILURE() << button << " opened nothing";
    return nullptr;
}

bool ListsFormsTest::openInHub(const char* button) {
    if (!hub)
        hub = openHub();
    w = hub ? openList(hub, button) : nullptr;
    return w != nullptr;
}

void ListsFormsTest::exec(const QString& sql) {
    ASSERT_TRUE(dm.RunSQL(sql)) << sql.toStdString();
}

void ListsFormsTest::unit(int numer, const QString& nazwa, const char* grupa) {
    exec(QStringLiteral("insert into kzm_jednostki (numer,grupa,nazwa) values(%1,%2,%3)")
             .arg(numer)
             .arg(QString::fromLatin1(grupa), SqlStr(nazwa)));
}

int ListsFormsTest::number(const QString& sql) {
    const QStringList r = rows(sql);
    return r.isEmpty() ? -1 : r[0].section(u'|', 0, 0).toInt();
}

QStringList ListsFormsTest::rows(const QString& sql) {
    QStringList out;
    EXPECT_TRUE(dm.OpenQ(dm.IBQ, sql)) << sql.toStdString();
    for (; dm.IBQ.isOpen() && !dm.IBQ.eof(); dm.IBQ.next()) {
        QStringList row;
        for (int i = 0; i < dm.IBQ.fieldCount(); ++i)
            row << dm.IBQ.field(i).asString();
        out << row.join(u'|');
    }
    dm.CloseQ(dm.IBQ);
    return out;
}

QStringList ListsFormsTest::gridRows(const DbGrid* grid) {
    QStringList out;
    const QAbstractItemModel* m = grid->model();
    while (m->canFetchMore({}))
        const_cast<QAbstractItemModel*>(m)->fetchMore({});
    for (int r = 0; r < m->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < m->columnCount(); ++c)
            cells << m->data(m->index(r, c)).toString();
        out << cells.join(u'|');
    }
    return out;
}

QString ListsFormsTest::current(const DbGrid* grid, int column) {
    const QModelIndex at = grid->currentIndex();
    return at.isValid() ? grid->model()->data(at.siblingAtColumn(column)).toString() : QString();
}

void ListsFormsTest::clickRow(DbGrid* grid, const QString& text) {
    clickCell(grid, text, 0);
}

void ListsFormsTest::clickCell(DbGrid* grid, const QString& key, int column, int keyColumn) {
    const QAbstractItemModel* m = grid->model();
    for (int r = 0; r < m->rowCount(); ++r)
        if (m->data(m->index(r, keyColumn)).toString() == key) {
            const QModelIndex at = m->index(r, column);
            grid->scrollTo(at);
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(at).center());
            return;
        }
    ADD_FAILURE() << "no row " << key.toStdString();
}

void ListsFormsTest::type(QWidget* widget, const QString& text) {
    for (const QChar c : text) {
        const int key = c.unicode() < 128 ? c.toUpper().unicode() : 0;
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(widget, &release);
    }
}

Box ListsFormsTest::answer(QMessageBox::StandardButton button, const std::function<void()>& act) {
    Box box;
    const QScopedValueRollback answering(answering_, true);
    testdb::WhenModal script([&](QWidget* modal) {
        auto* m = qobject_cast<QMessageBox*>(modal);
        if (!m || !m->button(button)) {
            ADD_FAILURE() << "not the box expected: " << modal->metaObject()->className();
            if (auto* dialog = qobject_cast<QDialog*>(modal))
                dialog->reject();
            return;
        }
        box = {true, m->windowTitle(), m->text()};
        m->button(button)->click();
    });
    act();
    EXPECT_FALSE(script.timedOut());
    return box;
}

} // namespace listsforms
