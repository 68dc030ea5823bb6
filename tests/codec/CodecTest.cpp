// Where a value sits in message bytes, and how a request is built and its
// answer recognised: the byte-level rules, tested without a vehicle.
#include "DataCodec.h"
#include "ErrorNumbers.h"
#include "ErrorOf.h"
#include "Kwp2000Codes.h"
#include "RequestCodec.h"
#include "Sorvik3.h"

#include <gtest/gtest.h>

namespace TavrinKwp {
namespace {

DataDescription item(int position, int size, bool isSigned = false, double factor = 1.0, double offset = 0.0)
{
    DataDescription d;
    d.name = "Item";
    d.position = position;
    d.size = size;
    d.isSigned = isSigned;
    d.factor = factor;
    d.offset = offset;
    return d;
}

TEST(DataCodec, shouldWriteAndReadBigEndianSignedAndUnsignedValues)
{
    const auto word = item(1, 2, true);
    Bytes message{0x30};
    writeRaw(message, word, -2);
    EXPECT_EQ(message, (Bytes{0x30, 0xFF, 0xFE}));  // grown to hold the item
    EXPECT_EQ(readRaw(message, word), -2);
    EXPECT_EQ(readRaw(message, item(1, 2, false)), 0xFFFE);
    EXPECT_EQ(readRaw(Bytes{0x30, 0xFF}, word), std::nullopt);  // too short: no value, not a guess
    EXPECT_EQ(rawRange(item(0, 1)).high, 255);
    EXPECT_EQ(rawRange(item(0, 2, true)).low, -32768);
    EXPECT_EQ(readBytes(Bytes{1, 2, 3, 4}, item(1, 0)), (Bytes{2, 3, 4}));  // size 0: the rest
    EXPECT_EQ(readBytes(Bytes{1, 2}, item(1, 4)), (Bytes{2}));              // cut to what came
}

TEST(DataCodec, shouldScaleRoundAndRefuseWhatTheBytesCannotCarry)
{
    const auto temperature = item(0, 1, false, 0.5, -40.0);
    EXPECT_EQ(rawFromPhysical(temperature, 20.0), 120);
    EXPECT_DOUBLE_EQ(physicalFromRaw(temperature, 120), 20.0);
    EXPECT_EQ(rawFromPhysical(item(0, 1), 254.6), 255);
    // Past the top by less than half a step rounds to a raw the byte cannot hold: refused, never wrapped to 0.
    EXPECT_EQ(errorOf([] { rawFromPhysical(item(0, 1), 255.5); }), number(SessionError::ValueOutOfRange));
    EXPECT_EQ(errorOf([] { rawFromPhysical(item(0, 1), -0.5); }), number(SessionError::ValueOutOfRange));
    EXPECT_EQ(errorOf([] { rawFromPhysical(item(0, 1, false, 0.0), 1.0); }),
              number(SessionError::ValueOutOfRange));  // no factor
    EXPECT_EQ(errorOf([] { rawFromPhysical(item(0, 2, true), -32768.4); }), 0);
}

TEST(DataCodec, shouldFormatWithTheItemsDecimalsAndNames)
{
    auto mode = item(0, 1);
    mode.namedValues = std::vector<NamedValue>{{"Off", 0}, {"On", 1}};
    EXPECT_EQ(formatPhysical(mode, 1.0), "On");
    EXPECT_EQ(formatPhysical(mode, 2.0), "2");
    auto pressure = item(0, 1);
    pressure.decimals = 2;
    EXPECT_EQ(formatPhysical(pressure, 3.5), "3.50");
    EXPECT_EQ(formatPhysical(pressure, -0.001), "0.00");  // no "-0.00"
}

RequestDescription outputControl()
{
    RequestDescription request;
    request.name = "OutputControl";
    request.service = kIoControlByLocalId;
    request.templateBytes = {kIoControlByLocalId, 0x01, 0x07};
    auto duty = item(3, 2);
    duty.name = "Duty";
    request.items.push_back(duty);
    auto status = item(3, 1);
    status.name = "Status";
    status.inResponse = true;
    request.items.push_back(status);
    return request;
}

TEST(RequestCodec, shouldBuildTheRequestWithItsValuesInPlace)
{
    const auto request = outputControl();
    EXPECT_EQ(requestLength(request), 5u);
    EXPECT_EQ(encodeRequest(request, {{&request.items[0], 500.0}}), (Bytes{0x30, 0x01, 0x07, 0x01, 0xF4}));
    EXPECT_EQ(errorOf([&] {
                  encodeRequest(request, {{&request.items[0], 70000.0}});
              }),
              number(SessionError::ValueOutOfRange));
}

TEST(RequestCodec, shouldKnowItsOwnAnswerFromAStaleOneAndResponsePending)
{
    const auto request = outputControl();
    const Bytes sent{0x30, 0x01, 0x07, 0x01, 0xF4};
    EXPECT_TRUE(answerBelongsTo(request, sent, Bytes{0x70, 0x01, 0x07, 0x01}));
    EXPECT_FALSE(answerBelongsTo(request, sent, Bytes{0x70, 0x02, 0x07, 0x01}));  // another device's late answer
    EXPECT_FALSE(answerBelongsTo(request, sent, Bytes{0x61, 0x01}));              // another service's
    EXPECT_TRUE(answerBelongsTo(request, sent, Bytes{0x7F, 0x30, 0x22}));         // refused: still its own
    EXPECT_TRUE(isResponsePending(Bytes{0x7F, 0x30, 0x78}, 0x30));
    EXPECT_FALSE(isResponsePending(Bytes{0x7F, 0x21, 0x78}, 0x30));
    EXPECT_EQ(errorOf([&] { checkAnswer("EngineControl", request, sent, Bytes{0x7F, 0x30, 0x22}); }), 0x22);
    EXPECT_EQ(errorOf([&] {
                  checkAnswer("EngineControl", request, sent, Bytes{0x70, 0x02, 0x07});
              }),
              number(SessionError::BadFrame));
}

TEST(RequestCodec, shouldTakeACutAnswerForNoAnswerEvenWhenWhatItHoldsMatches)
{
    const auto request = outputControl();
    const Bytes sent{0x30, 0x01, 0x07, 0x01, 0xF4};
    // The echoed device and option are there, the status is not: it must never read as 0 = stopped.
    EXPECT_EQ(errorOf([&] {
                  checkAnswer("EngineControl", request, sent, Bytes{0x70, 0x01, 0x07});
              }),
              number(SessionError::BadFrame));
    // Cut before the echoed option: nothing tells whose answer it is.
    EXPECT_EQ(errorOf([&] {
                  checkAnswer("EngineControl", request, sent, Bytes{0x70, 0x01});
              }),
              number(SessionError::BadFrame));
    EXPECT_EQ(errorOf([&] { checkAnswer("EngineControl", request, sent, Bytes{0x70, 0x01, 0x07, 0x00}); }), 0);
}

}  // namespace
}  // namespace TavrinKwp
