#include "refhost/databank/databank.h"

#include <gtest/gtest.h>

namespace db = xif::refhost::databank;

TEST(DatabankLoad, EmbeddedTextParses) {
    EXPECT_EQ(db::load_error(), "");
    EXPECT_EQ(db::all().size(), 40u);
}
