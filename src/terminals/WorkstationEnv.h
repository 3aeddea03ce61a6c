#pragma once

#include <QDate>
#include <QString>
#include <functional>

namespace kzm {

// What the terminals' work takes from the workstation: its calendar, a monotonic clock and the
// switch files of the current directory (BezRCP.dat, Test.dat, ident.dat). Tests hand in their
// own, so that nothing depends on the directory a test runs in.
struct WorkstationEnv {
    std::function<QDate()> today;
    std::function<qint64()> clockMs; // milliseconds on a monotonic clock
    std::function<bool(const QString& name)> fileExists;
    std::function<QString(const QString& name)> readFile; // a file's text
    std::function<void(const QString& name)> removeFile;

    // The system's calendar and clock, and the files of the current directory.
    static WorkstationEnv system();
};

} // namespace kzm
