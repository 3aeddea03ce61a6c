#pragma once
// What the registration tests set up in their database and on their lines: terminal
// definitions, simulated lines named in KZM.ini, persons and their plan, and the stored
// readings and history rows read back.

#include "core/Literals.h"
#include "core/Session.h"
#include "db/Params.h"
#include "db/Tdm.h"
#include "terminals/RegistrationRun.h"
#include "tqsim/SimLine.h"
#include "tqsim/SimTerminal.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QStringList>
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace testreg {

// Readings are of today, so the day's counts (always of today) count them.
inline const QDate day = QDate::currentDate();

inline QDateTime At(const char* time, const QDate& d = day) {
    return QDateTime(d, QTime::fromString(QString::fromLatin1(time), QStringLiteral("hh:mm:ss")));
}

// The record of a reading as a terminal sends it.
inline kzm::tqsim::Reading Card(const char* card, const QDateTime& at, char flag = '0') {
    kzm::tqsim::Reading r;
    r.card = QString::fromLatin1(card);
    r.time = at;
    r.flag = flag;
    return r;
}

// The texts a terminal showed, without the filling blanks.
inline QStringList Texts(const kzm::tqsim::TerminalState& st) {
    QStringList out;
    for (const QString& t : st.texts)
        out << t.trimmed();
    return out;
}

// Posts `step` to the test's thread when the line sees every n-th record request.
inline void AtRecordRequest(kzm::tqsim::SimLine& l, int n, std::function<void()> step) {
    auto seen = std::make_shared<std::atomic<int>>(0);
    l.setObserver([seen, n, step](int, const kzm::tqsim::LineFrame& frame) {
        const char code = frame.command.isEmpty() ? 0 : frame.command[0];
        if ((code == 'R' || code == 'r') && ++*seen % n == 0)
            QMetaObject::invokeMethod(qApp, step, Qt::QueuedConnection);
    });
}

// A registration run's observer that shows nothing and lets the events through while it waits.
struct QuietRun : kzm::RegistrationObserver {
    void historyCleared() override {}
    void historyAdded(const QString&) override {}
    void historyTrimmed(int) override {}
    void lampChanged(kzm::RunLamp) override {}
    void runningChanged(bool) override {}
    void stateChanged(const QString&) override {}
    void countsChanged(const kzm::DayCounts&) override {}
    void currentChanged(int) override {}
    bool askStop(const QString&) override { return false; }
    void idle() override { QCoreApplication::processEvents(); }
};

class Registrations {
public:
    Registrations(kzm::Tdm& dm, kzm::Session& s, QString home)
        : dm_(dm), s_(s), home_(std::move(home)) {}

    void exec(const QString& sql) { ASSERT_TRUE(dm_.RunSQL(sql)) << sql.toStdString(); }

    // The canteen of the tests: lunch from 11:00 to 15:00, in the store (the day's counts read it
    // there) and in the parameters; a plain issue silent, a block sounding.
    void canteen(kzm::GlobalParams& g) {
        kzm::ParamStore store(dm_);
        store.WriteParT("OBIAD_OD", QTime(11, 0));
        store.WriteParT("OBIAD_DO", QTime(15, 0));
        g.OBIAD_OD = QTime(11, 0);
        g.OBIAD_DO = QTime(15, 0);
        g.SYGNAL_WYD = 1;
        g.SYGNAL_BLOK = 0;
    }

    void definition(int port, const QString& name, bool tq700 = false, bool rs485 = false,
                    int numScan = 1, int active = 1) {
        exec(QStringLiteral("insert into KZM_COMDEF (PORT, SPEED, NAZWA, AKTYWNY, TIMEOUT_R, "
                            "TIMEOUT_W, NUMINST, NUMSCAN, RS485, TQ700, NUMINST3ZN, ALARM, "
                            "BASE_ALARM) values (%1, 9600, %2, %3, 100, 200, 0, %4, %5, %6, 0, "
                            "5, 32)")
                 .arg(port)
                 .arg(kzm::SqlStr(name))
                 .arg(active)
                 .arg(numScan)
                 .arg(rs485 ? 1 : 0)
                 .arg(tq700 ? 1 : 0));
    }

    // A simulated line with its terminals (model and RS-485 address), named in KZM.ini as
    // COM<port>.
    kzm::tqsim::SimLine& line(int port, std::vector<std::pair<kzm::tqsim::Model, int>> terminals,
                              bool rs485 = false) {
        lines.push_back(std::make_unique<kzm::tqsim::SimLine>(rs485));
        kzm::tqsim::SimLine& l = *lines.back();
        for (const auto& [model, numScan] : terminals)
            l.addTerminal(model, numScan);
        const QString link = home_ + QStringLiteral("/com%1").arg(port);
        QString error;
        EXPECT_TRUE(l.start(link, &error)) << error.toStdString();
        s_.ini.writeString("Porty", QStringLiteral("COM%1").arg(port), link);
        return l;
    }

    void person(int nrOper, const QString& card, const QString& name) {
        exec(QStringLiteral("insert into KZM_KART (NR_OPER, NR_IDENT, NAZWISKO, IDSTOPIEN, "
                            "IDSTAWKA, IDSTAWKAW) values (%1, '%2', '%3', 7, 20, 990)")
                 .arg(nrOper)
                 .arg(card, name));
    }
    void plan(int nrOper, const QDate& d, int sn, int ob, int ko) {
        exec(QStringLiteral("insert into KZM_DANE (NR_OPER, DATA, SN, OB, KO, IDZDARZ) values "
                            "(%1, '%2', %3, %4, %5, 1)")
                 .arg(nrOper)
                 .arg(d.toString("dd.MM.yyyy"))
                 .arg(sn)
                 .arg(ob)
                 .arg(ko));
    }

    // The stored readings as "card|date|time|meal|known card|source", in the order stored.
    QStringList stored() {
        QStringList out;
        EXPECT_TRUE(dm_.OpenQ(dm_.IBQ, "select NR_IDENT, DATA, CZAS, RDPOS, WSKW, SKAD from "
                                       "KZM_RWP order by IDRWP"));
        for (; dm_.IBQ.isOpen() && !dm_.IBQ.eof(); dm_.IBQ.next()) {
            QStringList row;
            for (int c = 0; c < 6; ++c)
                row << dm_.IBQ.field(c).asString();
            out << row.join('|');
        }
        dm_.CloseQ(dm_.IBQ);
        return out;
    }

    int histRows(const QString& like) {
        return dm_.ReadInteger(
            "n", "select count(*) as n from kzm_hist where tekst like " + kzm::SqlStr(like), -1);
    }

    std::vector<std::unique_ptr<kzm::tqsim::SimLine>> lines;

private:
    kzm::Tdm& dm_;
    kzm::Session& s_;
    QString home_;
};

} // namespace testreg
