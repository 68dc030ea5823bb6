// The interface stands alone (this file sees no Qt), and a library that takes
// whole numbers only still gets a fractional value sent as its nearest one.
#include "Sorvik3.h"

#include <gtest/gtest.h>

namespace {

struct WholeNumbersOnly final : Sorvik3::Data {
    std::string Name() override { return "Pressure"; }
    std::string Unit() override { return "bar"; }
    Sorvik3::NumericListRef NumericList() override { return nullptr; }
    Sorvik3::RequestRef Request() override { return nullptr; }
    Sorvik3::DataDeviceRef Device() override { return nullptr; }
    bool InResponse() override { return false; }
    std::string ValueText() override { return std::to_string(value); }
    double NumericValue() override { return value; }
    void setNumericValue(int32_t number) override { value = number; }
    void setValueName(const std::string&) override {}
    int32_t value = 0;
};

}  // namespace

TEST(Sorvik3Interface, shouldSendTheNearestWholeNumberToALibraryWithoutFractions)
{
    WholeNumbersOnly data;
    data.setPhysicalValue(3.6);
    EXPECT_EQ(data.value, 4);
    data.setPhysicalValue(-2.5);
    EXPECT_EQ(data.value, -2);  // halves to even
    data.setPhysicalValue(1e12);
    EXPECT_EQ(data.value, 2147483647);  // held to the 32-bit range
}
