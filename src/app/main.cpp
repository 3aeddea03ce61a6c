#include "core/Session.h"
#include "db/Tdm.h"

#include <QApplication>
#include <QFile>
#include <cstdio>

int main(int argc, char** argv) {
    kzm::Session session;
    session.InitConfig(kzm::ProgramFolder(argc, argv));

    QApplication app(argc, argv);
    kzm::Tdm dm(session);

    // The rebuild script of the backup window is left from an earlier run.
    QFile::remove(QStringLiteral("run.sh"));

    session.ui.showMessage = [](const QString& text) {
        std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    };
    session.user = QStringLiteral("SYSDBA");
    session.password = QStringLiteral("pantrykey");
    dm.BazaConnect();
    std::printf("Baza: %s, status połączenia: %d\n", session.dbPath.toLocal8Bit().constData(),
                session.connectionStatus);
    return session.connectionStatus == kzm::Status::connected ? 0 : 1;
}
