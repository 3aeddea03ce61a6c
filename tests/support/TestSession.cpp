#include "support/TestSession.h"

#include "core/Win1250.h"

#include <QFile>

namespace testdb {

SessionTest::SessionTest() {
    s.InitConfig(home.path(), QDate(2026, 12, 8), home.path());
    s.ui.showMessage = [this](const QString& m) { shown << m; };
}

QString SessionTest::log() const {
    QFile f(s.logFile);
    return f.open(QIODevice::ReadOnly) ? kzm::FromWin1250(f.readAll()) : QString();
}

} // namespace testdb
