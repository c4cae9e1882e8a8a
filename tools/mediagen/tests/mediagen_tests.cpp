#include <gtest/gtest.h>

#include "asset_table.h"

TEST(Catalogue, CountsRegistrations) { EXPECT_EQ(int(mediagen::image_registrations_list().size()), 333); }
