#include "lists/forms/TfmJednostki.h"

#include "fb/Value.h"

#include <QAction>
#include <QLineEdit>

namespace kzm {

namespace {

// The number column is narrow whatever the font.
constexpr int numerWidth = 40;

// The kind of a unit as the grid shows it: "Wojsko" for 0 (and for a unit without one),
// "Cywile" for any other value.
QString GrupaText(const fb::Value& v) {
    return v.isNull() || v.toInt() == 0 ? QStringLiteral("Wojsko") : QStringLiteral("Cywile");
}

} // namespace

TfmJednostki::TfmJednostki(WindowHost& host, const QString& caption)
    : OneListWindow(
          host, QStringLiteral("fmJednostki"), caption,
          {{QStringLiteral("NUMER"),
            QStringLiteral("Numer"),
            0,
            Qt::AlignRight | Qt::AlignVCenter,
            {}},
           {QStringLiteral("NAZWA"),
            QStringLiteral("Nazwa"),
            28,
            Qt::AlignLeft | Qt::AlignVCenter,
            {}},
           {QStringLiteral("GRUPA"), QStringLiteral("Rodzaj"), 8, Qt::AlignCenter, &GrupaText}}) {
    setTakesKeys(true);
    DbGrid* grid = pane_.grid;
    grid->setSelectionMode(QAbstractItemView::ExtendedSelection);
    const auto narrow = [grid] { grid->setColumnWidth(0, numerWidth); };
    connect(grid->model(), &QAbstractItemModel::modelReset, grid, narrow);
    narrow();

    // Under the usual three, the kind of the marked units.
    auto* separator = new QAction(this);
    separator->setSeparator(true);
    auto* cywile = new QAction(QStringLiteral("Cywile"), this);
    cywile->setObjectName(QStringLiteral("Cywile1"));
    auto* wojsko = new QAction(QStringLiteral("Wojsko"), this);
    wojsko->setObjectName(QStringLiteral("Wojsko1"));
    grid->addActions({separator, cywile, wojsko});
    connect(cywile, &QAction::triggered, this, [this] { WpiszGrupe(1); });
    connect(wojsko, &QAction::triggered, this, [this] { WpiszGrupe(0); });
    const auto follow = [this, cywile, wojsko] {
        cywile->setEnabled(pane_.aEdit->isEnabled());
        wojsko->setEnabled(pane_.aEdit->isEnabled());
    };
    connect(pane_.aEdit, &QAction::changed, this, follow);
    follow();

    JednostkaFields& f = list_.fields();
    edNumer_ =
        addEdit(pane_, QStringLiteral("Numer"), QStringLiteral("edNumer"), 9, false, f.numer);
    addEdit(pane_, QStringLiteral("Nazwa"), QStringLiteral("edNazwa"), 20, true, f.nazwa);
    addCheck(pane_, QStringLiteral("Cywile"), QStringLiteral("cbCywile"), f.cywile);
    // A unit keeps its number once it exists.
    pane_.showFields.push_back([this] { edNumer_->setEnabled(list_.numerEditable()); });
}

void TfmJednostki::WpiszGrupe(int grupa) {
    if (list_.mode() != ListMode::Browsing)
        return;
    list_.WpiszGrupe(*pane_.grid, grupa);
    listsChanged();
    pane_.grid->setFocus();
}

} // namespace kzm
