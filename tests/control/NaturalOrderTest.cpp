// The order of names a person expects: numbers by value, letters without regard to case.
#include "NaturalOrder.h"

#include <gtest/gtest.h>

TEST(NaturalOrder, shouldCompareNumbersByValueAndLettersWithoutCase)
{
    using TavrinPlatform::naturalCompare;
    EXPECT_LT(naturalCompare("Injector 2", "Injector 10"), 0);
    EXPECT_GT(naturalCompare("Injector 10", "Injector 9"), 0);
    EXPECT_EQ(naturalCompare("injector 2", "Injector 2"), 0);
    EXPECT_EQ(naturalCompare("Injector 02", "Injector 2"), 0);                        // leading zeros: the same number
    EXPECT_LT(naturalCompare("Injector", "Injector 1"), 0);                           // a prefix comes first
    EXPECT_LT(naturalCompare("A99999999999999999999", "A100000000000000000000"), 0);  // longer than any integer
    EXPECT_LT(naturalCompare("", "a"), 0);
    EXPECT_LT(naturalCompare("Valve 7b", "Valve 7c"), 0);
}
