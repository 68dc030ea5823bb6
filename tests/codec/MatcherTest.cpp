// How a simulated ECU knows a request from its bytes alone.
#include "RequestMatcher.h"

#include <gtest/gtest.h>

namespace TavrinKwp {
namespace {

DataDescription written(int position)
{
    DataDescription item;
    item.name = "Item" + std::to_string(position);
    item.position = position;
    return item;
}

RequestDescription request(const std::string& name, Bytes bytes, const std::vector<int>& freePositions)
{
    RequestDescription r;
    r.name = name;
    r.service = bytes.front();
    r.templateBytes = std::move(bytes);
    for (int position : freePositions)
        r.items.push_back(written(position));
    return r;
}

TEST(RequestMatcher, shouldTellRequestsApartByTheirFixedBytesAndLength)
{
    EcuDescription ecu;
    // The stop writes the device and the command; the status only the device, its command fixed at 01.
    ecu.requests.push_back(request("OutputControl.Stop", {0x30, 0x00, 0x00}, {1, 2}));
    ecu.requests.push_back(request("OutputControl.Status", {0x30, 0x00, 0x01}, {1}));
    ecu.requests.push_back(request("ReadData.FuelSystem", {0x21, 0x01}, {}));
    const RequestMatcher matcher(ecu);
    EXPECT_EQ(matcher.recognise({0x30, 0x05, 0x01})->name, "OutputControl.Status");  // agrees with more fixed bytes
    EXPECT_EQ(matcher.recognise({0x30, 0x05, 0x00})->name, "OutputControl.Stop");    // the status needs 01
    EXPECT_EQ(matcher.recognise({0x21, 0x01})->name, "ReadData.FuelSystem");
    EXPECT_EQ(matcher.recognise({0x21, 0x02}), nullptr);              // a fixed byte differs
    EXPECT_EQ(matcher.recognise({0x30, 0x05}), nullptr);              // too short
    EXPECT_EQ(matcher.recognise({0x30, 0x05, 0x00, 0x00}), nullptr);  // too long
    EXPECT_EQ(matcher.recognise({}), nullptr);
    EXPECT_TRUE(matcher.offers(0x21));
    EXPECT_FALSE(matcher.offers(0x31));
}

TEST(RequestMatcher, shouldTakeTheFirstInTheFileWhenTwoFitAlike)
{
    EcuDescription ecu;
    ecu.requests.push_back(request("First", {0x31, 0x00}, {1}));
    ecu.requests.push_back(request("Second", {0x31, 0x00}, {1}));
    EXPECT_EQ(RequestMatcher(ecu).recognise({0x31, 0x07})->name, "First");
}

}  // namespace
}  // namespace TavrinKwp
