// The interface stands alone: a test double is a few lines, and errors carry
// their number and description through a std::exception handler.
#include "Sorvik3.h"

#include <gtest/gtest.h>

namespace {

struct NoEcus final : Sorvik3::Session {
    std::vector<Sorvik3::EcuRef> Ecus() override { return {}; }
    bool CommunicationStopped() override { return stopped; }
    void StopCommunication() override { stopped = true; }
    Sorvik3::ReadListRef CreateReadList() override { throw Sorvik3::Error(42, "no read lists here"); }
    bool stopped = false;
};

}  // namespace

TEST(Sorvik3Interface, shouldLetATestDoubleStandAlone)
{
    auto session = std::make_shared<NoEcus>();
    Sorvik3::SessionRef ref = session;
    EXPECT_TRUE(ref->Ecus().empty());
    ref->StopCommunication();
    EXPECT_TRUE(ref->CommunicationStopped());
}

TEST(Sorvik3Interface, shouldCarryNumberAndDescriptionAsAStandardException)
{
    NoEcus session;
    try {
        session.CreateReadList();
        FAIL();
    } catch (const std::exception& error) {
        auto* sorvik = dynamic_cast<const Sorvik3::Error*>(&error);
        ASSERT_NE(sorvik, nullptr);
        EXPECT_EQ(sorvik->number(), 42);
        EXPECT_EQ(sorvik->description(), "no read lists here");
        EXPECT_STREQ(error.what(), "no read lists here");
    }
}
