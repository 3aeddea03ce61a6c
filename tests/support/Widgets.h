#pragma once
// Widgets of a window found by their object names, as the tests drive them.

#include <QObject>
#include <QString>
#include <gtest/gtest.h>

namespace testdb {

// The child of `parent` with the object name and type; a test failure when there is none.
template <class W> W* Child(const QObject* parent, const char* name) {
    auto* c = parent->findChild<W*>(QString::fromLatin1(name));
    EXPECT_NE(c, nullptr) << "no " << name;
    return c;
}

} // namespace testdb
