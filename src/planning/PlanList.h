#pragma once

#include "lists/ListController.h"
#include "planning/Period.h"

#include <QString>
#include <QStringList>
#include <map>
#include <unordered_set>
#include <vector>

namespace kzm {

class PlanRunObserver;

// The changes the plan window makes to the rows it targets, by the number it logs them under.
enum class PlanChange {
    Events = 0,           // "Wpisz zdarzenia": the event type of the event list
    Corrections = 1,      // "Wpisz poprawki": the correction of the corrections list
    PersonalData = 2,     // "Aktualizuj dane osobowe"
    Delete = 3,           // "Skasuj dane "
    ClearEvents = 4,      // "Usuń zdarzenie"
    ClearCorrections = 5, // "Usuń szkodę"
    Rates = 6,            // "Wpisz stawkę zaprowiantowania"
    Places = 7,           // a place of the places list
};

// The current rows of the side lists when a change starts: what it enters.
struct PlanEntry {
    int event = -1;      // the event type's ID; -1 when the list is empty
    int correction = -1; // the correction code's ID
    int rate = -1;       // the rate's ID
    int place = -1;      // the place's ID
};

// The side list entered last, which decides what a double click enters.
enum class PlanSide { Events, Corrections, Rates, Places };

// The plan window's logic: the plan rows of one unit for a period, or of the persons searched
// for across units; the marks by row key, kept across a re-sort; the sort order; the changes of
// the targeted rows in the window's transaction; making and refreshing the plan of a period;
// the unit list's entries and the short codes the grid shows.
class PlanList : public ListController {
public:
    PlanList(Tdm& dm, Tdmu& dmu);

    enum class View {
        Closed, // no unit chosen yet, or a search found nobody
        Unit,   // the rows of one unit
        Search, // the rows of the persons searched for, across units
    };
    View view() const { return view_; }
    int unit() const { return unit_; }
    const Period& period() const { return period_; }

    // ---- the unit list
    // An entry of the unit list: the number right-aligned in 2, ".", the name, padded or cut to
    // 80 characters, then the unit's ID from character 81 on, out of view.
    static QString UnitEntry(int numer, const QString& nazwa, int id);
    // The unit's ID of an entry (characters 81 to 90 read as a leading integer); -1 without one.
    static int UnitOfEntry(const QString& entry);
    // The entries of every unit, in the order of their numbers; the units' IDs alongside.
    QStringList unitEntries(std::vector<int>* ids = nullptr);

    // ---- short codes: the event and correction columns show codes instead of IDs
    void loadCodes();
    QString eventCode(int id) const;
    QString correctionCode(int id) const;

    // ---- views
    // The rows of the unit for the period, in the current order; marks go.
    bool openUnit(int idjedn, const Period& p);
    // "Pokaż": the rows of the persons whose operational number is the text (digits only), or
    // whose surname contains it, across units; every person for an empty text. False, with the
    // plan closed, when nobody has rows or the query fails.
    bool search(const QString& text, const Period& p);
    // The unit of the first row (after a search); -1 without rows.
    int firstRowUnit() const;
    // Closes the plan (view Closed); marks go.
    void closePlan();
    // The same view re-opened on the row of the key (-1: the current row); marks go.
    void reopenView(int key = -1);

    // ---- sorting
    // The order the plan is shown in for a title click's request: a request involving NR_OPER
    // becomes "NR_OPER, DATA" when it asks for DESC, "NR_OPER DESC, DATA" otherwise, so the
    // days of a person stay in order; any other request is applied as it comes.
    static QString SortOrder(const QString& request);
    // The request that a click on the title of the field's column makes: the number column
    // names the direction it is sorted in now (which the order above then turns over); another
    // column asks for ascending order, or descending when it is the ascending order now.
    QString sortRequest(const QString& field) const;
    // Re-opens the view in the order of the request on the current row; the marks stay.
    void sort(const QString& request);
    const QString& order() const { return order_; }
    // The column whose title shows the order, and whether descending.
    QString orderColumn(bool* descending = nullptr) const;

    // ---- marks, by row key
    bool isMarked(int row) const;
    void setMarked(int row, bool marked);
    void markAll();
    void unmarkAll();
    void invertMarks();
    int markedCount() const { return static_cast<int>(marks_.size()); }

    // ---- changes of the targeted rows
    // What a change needs before it runs: kinds 2 and 3 refuse without marked rows ("Nie
    // zaznaczono pozycji do zmiany", "Nie zaznaczono pozycji do usunięcia"); empty when it may
    // run. The window asks "Czy naprawdę skasować?" before a deletion that may run.
    QString refusal(PlanChange kind) const;
    // One run of a change over the marked rows (the current row, marked, when none is) in the
    // window's transaction: nothing on an empty plan, a refusal as above; otherwise every
    // target row changed and committed, "<text><rows changed>.poz" logged when a row changed,
    // or, on an error, nothing changed, "Modyfikacje <kind> <error>" logged and returned as
    // Failed. The view is not re-opened.
    ListResult modify(PlanChange kind, const PlanEntry& entry);
    // A change as an action makes it: the run, then the view re-opened on the current row.
    ListResult change(PlanChange kind, const PlanEntry& entry);
    // "Wpisz": the runs of the ticked kinds in order (events, corrections, rates, places) over
    // the same marks, then the view re-opened. Stops at a failed run.
    ListResult enter(bool events, bool corrections, bool rates, bool places,
                     const PlanEntry& entry);
    // The change that entering the current row of a side list makes.
    static PlanChange ChangeOf(PlanSide side);
    // The log text of a change.
    static QString LogText(PlanChange kind);
    // Rows changed by the last run.
    int lastChanged() const { return lastChanged_; }

    // ---- the plan of a period
    // "Dopisz dane" (refresh off): the rows of every person for each day of the period.
    // "Aktualizuj dane osobowe w całym okresie" (on): the existing rows of the whole months of
    // the period take the persons' current data, and missing ones are made. In the window's
    // transaction, committed after the last day; logged " Plan za okres: " or " Aktualizacja
    // danych osobowych za okres: " with the period as set. On an error nothing of the run stays
    // and the view is not re-opened; otherwise the unit `reopenUnit` is shown.
    ListResult makePlan(const Period& p, bool refresh, int reopenUnit,
                        PlanRunObserver* observer = nullptr);

private:
    QString viewSelect() const;
    std::vector<int> targets();
    int rowKey(int row) const;
    void runChange(PlanChange kind, const PlanEntry& entry, const std::vector<int>& ids);

    View view_ = View::Closed;
    int unit_ = -1;
    Period period_;
    QString filter_; // " and nr_oper..." of a search
    QString order_ = QStringLiteral("2,3");
    std::unordered_set<int> marks_;
    std::map<int, QString> eventCodes_;
    std::map<int, QString> correctionCodes_;
    int lastChanged_ = 0;
};

// The side lists of the plan window, read-only, in a transaction of their own.
class PlanSideLists {
public:
    explicit PlanSideLists(Tdm& dm);
    ~PlanSideLists();
    PlanSideLists(const PlanSideLists&) = delete;
    PlanSideLists& operator=(const PlanSideLists&) = delete;

    // Opens the five lists; false when one could not be opened.
    bool open();
    void close();

    fb::Query& events() { return zdarz_; }
    fb::Query& places() { return miejsca_; }
    fb::Query& corrections() { return szkody_; }
    fb::Query& rates() { return stawki_; }
    fb::Query& units() { return jednostki_; }
    // The IDs of the current rows (-1 for an empty list).
    PlanEntry entry() const;
    // Makes the unit current in the units list; false when it is not there.
    bool locateUnit(int id);
    int currentUnit() const;

private:
    Tdm& dm_;
    fb::Transaction tr_;
    fb::Query zdarz_;
    fb::Query miejsca_;
    fb::Query szkody_;
    fb::Query stawki_;
    fb::Query jednostki_;
};

} // namespace kzm
