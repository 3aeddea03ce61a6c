#include "ui/AppInfo.h"

#include <QApplication>

#include <gtest/gtest.h>

TEST(Application, RunsOffscreenWithOneApplicationObject) {
    ASSERT_NE(qApp, nullptr);
    EXPECT_FALSE(kzm::ProductTitle().isEmpty());
}
