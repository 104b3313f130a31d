#include "ScaleUtils.h"

#include <gtest/gtest.h>

TEST (ScaleUtils, CatalogueHas57Scales)
{
    const auto scales = ScaleUtils::getScalesJson();
    ASSERT_TRUE (scales.isArray());
    EXPECT_EQ (scales.size(), 57);
}
