#pragma once

#include "lists/JednostkiList.h"
#include "lists/forms/ListWindow.h"

class QLineEdit;

namespace kzm {

// The units window: the units with their number, name and kind; several can be marked and
// given a kind together from the grid's menu.
class TfmJednostki : public OneListWindow<JednostkiList> {
    Q_OBJECT
public:
    explicit TfmJednostki(WindowHost& host, const QString& caption = QStringLiteral("Jednostki"));

private:
    // "Cywile" and "Wojsko" of the grid's menu: the kind of the marked units.
    void WpiszGrupe(int grupa);

    QLineEdit* edNumer_ = nullptr;
};

} // namespace kzm
