// How the adapter's text is read: the lines of a reply, the frames printed with
// headers, ISO-TP rebuilt from them, K-line frames checked.
#include "ElmReplies.h"
#include "ErrorOf.h"

#include <gtest/gtest.h>

using namespace TavrinKwp;

TEST(ElmReplies, shouldReadTheLinesOfAReplyWithoutEchoBlanksOrSearching)
{
    EXPECT_EQ(replyLines("ATZ\r\r\rELM327 v1.5\r\r", "ATZ"), (std::vector<std::string>{"ELM327 v1.5"}));
    EXPECT_EQ(replyLines("3E 01\r\nSEARCHING...\r\n7E8 02 7E 01 \r\n\r\n", "3E01"),
              (std::vector<std::string>{"7E8 02 7E 01"}));
    // An answer that reads like the command is data once something came before it.
    EXPECT_EQ(replyLines("OK\r3E01\r", "3E01"), (std::vector<std::string>{"OK", "3E01"}));
}

TEST(ElmReplies, shouldRebuildMessagesFromTheFramesOfTheEcuAlone)
{
    std::vector<ElmCanFrame> frames;
    for (const char* line :
         {"7E8037F3078AAAAAA", "7E9 02 7E 01", "7EA 10 0A 70 01 07 01 02 03", "7EA 21 04 05 06 07", "7EA 30 00 00"}) {
        frames.push_back(*canFrameLine(line, false));
    }
    EXPECT_EQ(canMessages(frames, 0x7E8), (std::vector<Bytes>{{0x7F, 0x30, 0x78}}));
    EXPECT_EQ(canMessages(frames, 0x7EA), (std::vector<Bytes>{{0x70, 0x01, 0x07, 1, 2, 3, 4, 5, 6, 7}}));
    EXPECT_EQ(canFrameLine("18DAF110 03 7E 01 00", true)->id, 0x18DAF110u);
    EXPECT_FALSE(canFrameLine("NO DATA", false));
    EXPECT_FALSE(canFrameLine("7E8 01 02 03 04 05 06 07 08 09", false)) << "nine data bytes are no CAN frame";

    const std::vector<ElmCanFrame> outOfTurn = {*canFrameLine("7EA 10 0A 70 01 07 01 02 03", false),
                                                *canFrameLine("7EA 22 04 05 06 07", false)};
    EXPECT_EQ(errorOf([&] { canMessages(outOfTurn, 0x7EA); }), number(SessionError::BadFrame));
    const std::vector<ElmCanFrame> cut = {*canFrameLine("7EA 10 0A 70 01 07 01 02 03", false)};
    EXPECT_EQ(errorOf([&] { canMessages(cut, 0x7EA); }), number(SessionError::BadFrame));
    const std::vector<ElmCanFrame> lyingLength = {*canFrameLine("7E8 07 7E 01", false)};
    EXPECT_EQ(errorOf([&] { canMessages(lyingLength, 0x7E8); }), number(SessionError::BadFrame));
}

TEST(ElmReplies, shouldCheckKLineFramesAndKeepThoseOfTheEcu)
{
    // 82 F1 11 7E 01 and its checksum 03; one from another ECU is not this one's answer.
    EXPECT_EQ(klineMessages({"82F1117E0103", "82F1127E0104"}, 0x11, 0xF1), (std::vector<Bytes>{{0x7E, 0x01}}));
    EXPECT_EQ(errorOf([] { klineMessages({"82F1117E0104"}, 0x11, 0xF1); }), number(SessionError::BadFrame));
}

TEST(ElmReplies, shouldKnowTheAdaptersOwnRepliesFromData)
{
    EXPECT_EQ(adapterProblem("BUS INIT: ...ERROR")->error, SessionError::NoAnswer);
    EXPECT_FALSE(adapterProblem("BUS INIT: ...OK"));
    EXPECT_EQ(adapterProblem("7E8 06 70 <RX ERROR")->error, SessionError::BadFrame);
    EXPECT_EQ(adapterProblem("ERR94")->error, SessionError::LinkUnavailable);
    EXPECT_EQ(adapterProblem("LV RESET")->error, SessionError::LinkUnavailable);
    EXPECT_FALSE(adapterProblem("7E8 02 7E 01"));
    EXPECT_FALSE(adapterProblem("ELM327 v1.5"));
}
