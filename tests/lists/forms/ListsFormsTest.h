#pragma once
// The main window with its function windows over a copy of the catalogue database, the lists
// hub opened from it, and what the list windows' tests do with their widgets.

#include "app/Program.h"
#include "app/TfmMain.h"
#include "lists/forms/TfmWykazy.h"
#include "support/MainWindowDb.h"
#include "support/QtPrint.h"
#include "ui/DbGrid.h"

#include <QMessageBox>
#include <QPushButton>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <functional>

namespace listsforms {

// A message box as it was shown.
struct Box {
    bool shown = false;
    QString title;
    QString text;
};

class ListsFormsTest : public testdb::MainWindowTest {
protected:
    void SetUp() override;

    // The hub, opened with the main window's button.
    kzm::TfmWykazy* openHub();
    // A window of the hub, opened with the hub's button of that name.
    kzm::FunctionWindow* openList(kzm::TfmWykazy* hub, const char* button);
    // The hub (opened when it is not) and in it the window of the button, as hub and w.
    bool openInHub(const char* button);
    // A widget of the window w by its object name; fails the test when there is none.
    template <class T> T* find(const char* name) const;

    void exec(const QString& sql);
    // A unit as a row of KZM_JEDNOSTKI; `grupa` is written as given ("null" for none).
    void unit(int numer, const QString& nazwa, const char* grupa = "1");
    // The first column of the first row of a select; -1 without a row.
    int number(const QString& sql);
    // Every row of a select as "a|b|c".
    QStringList rows(const QString& sql);

    // The grid's texts, row by row, as "a|b|c".
    static QStringList gridRows(const kzm::DbGrid* grid);
    // The text of a cell of the grid's current row.
    static QString current(const kzm::DbGrid* grid, int column = 0);
    // Makes the row whose first cell shows `text` current, as a click does.
    static void clickRow(kzm::DbGrid* grid, const QString& text);
    // Clicks the cell in `column` of the row whose cell in `keyColumn` shows `key`.
    static void clickCell(kzm::DbGrid* grid, const QString& key, int column, int keyColumn = 0);

    // Types the text into the widget key by key, Polish letters too.
    static void type(QWidget* widget, const QString& text);
    // Runs `act`, which shows a message box, and answers it with the button.
    static Box answer(QMessageBox::StandardButton button, const std::function<void()>& act);

    // The widget of the main window's window that has the focus, or would have it.
    QWidget* focused() const { return main->focusWidget(); }

    kzm::TfmWykazy* hub = nullptr;
    kzm::FunctionWindow* w = nullptr;

private:
    // A box that no answer() waits for fails the test and is closed, so the test goes on.
    QTimer unexpectedBoxes_;
    static bool answering_;
};

// A child of a window by its object name; fails the test when there is none.
template <class T> T* child(const QObject* window, const char* name) {
    T* w = window ? window->findChild<T*>(QString::fromLatin1(name)) : nullptr;
    EXPECT_TRUE(w) << "no " << name;
    return w;
}

template <class T> T* ListsFormsTest::find(const char* name) const {
    return child<T>(w, name);
}

} // namespace listsforms
