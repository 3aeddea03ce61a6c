#include "terminals/WorkstationEnv.h"

#include "core/Files.h"

#include <QElapsedTimer>
#include <QFile>
#include <memory>

namespace kzm {

WorkstationEnv WorkstationEnv::system() {
    WorkstationEnv env;
    env.today = [] { return QDate::currentDate(); };
    env.clockMs = [clock = std::make_shared<QElapsedTimer>()] {
        if (!clock->isValid())
            clock->start();
        return clock->elapsed();
    };
    env.fileExists = [](const QString& name) { return QFile::exists(name); };
    env.readFile = [](const QString& name) { return ReadWholeFile(name); };
    env.removeFile = [](const QString& name) { QFile::remove(name); };
    return env;
}

} // namespace kzm
