#pragma once
// A program folder in a temporary directory with its session, as the program sets it up at
// start; the messages the session would show are collected instead.

#include "core/Session.h"

#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace testdb {

class SessionTest : public ::testing::Test {
protected:
    SessionTest();

    // The day's log file as written so far.
    QString log() const;

    QTemporaryDir home;
    kzm::Session s;
    QStringList shown;
};

} // namespace testdb
