#include "schema/Catalogue.h"

#include <gtest/gtest.h>

TEST(CatalogueTest, UnknownNameGivesNoLines) {
    EXPECT_TRUE(kzm::schema::Script("UDFS").isEmpty());
}
