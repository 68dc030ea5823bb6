#include "ErrorNumbers.h"
#include "KwpSession.h"
#include "VehicleLoader.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>

using TavrinKwp::SessionError;

using ::testing::HasSubstr;

namespace {

struct RefusedCase {
    const char* what;
    const char* xml;
    const char* message;  // expected "<file>:<line>: ..." text
};

const RefusedCase kRefused[] = {
    {"not well formed", "<vehicle>\n<ecu id=\"1\" name=\"A\">\n</vehicle>", "bad.xml:3: "},
    {"missing attribute", "<vehicle>\n  <ecu name=\"A\"/>\n</vehicle>", "bad.xml:2: <ecu> lacks the attribute 'id'"},
    {"duplicate ECU", "<vehicle>\n<ecu id=\"1\" name=\"A\"/>\n<ecu id=\"2\" name=\"A\"/>\n</vehicle>",
     "bad.xml:3: duplicate ECU 'A'"},
    {"duplicate request",
     "<vehicle><ecu id=\"1\" name=\"A\">\n<request name=\"R\" service=\"0x21\"/>\n<request name=\"R\" "
     "service=\"0x21\"/>\n"
     "</ecu></vehicle>",
     "bad.xml:3: duplicate request 'R'"},
    {"duplicate named value",
     "<vehicle><ecu id=\"1\" name=\"A\"><request name=\"R\" service=\"0x30\">\n<data name=\"L\" position=\"1\">\n"
     "<value name=\"X\" number=\"1\"/>\n<value name=\"X\" number=\"2\"/>\n</data></request></ecu></vehicle>",
     "bad.xml:4: duplicate value name 'X'"},
    {"position out of range",
     "<vehicle><ecu id=\"1\" name=\"A\"><request name=\"R\" service=\"0x30\">\n<data name=\"D\" position=\"300\"/>\n"
     "</request></ecu></vehicle>",
     "bad.xml:2: attribute 'position' = 300 is out of range 1 to 255"},
    {"id beyond 32 bits", "<vehicle>\n<ecu id=\"4294967296\" name=\"A\"/>\n</vehicle>", "bad.xml:2: attribute 'id'"},
    {"not a number", "<vehicle>\n<ecu id=\"seven\" name=\"A\"/>\n</vehicle>", "is not an integer: 'seven'"},
    {"unknown signal",
     "<vehicle><ecu id=\"1\" name=\"A\"><request name=\"R\" service=\"0x21\"><response>\n"
     "<data name=\"D\" position=\"2\" source=\"signal:Nope\"/>\n</response></request></ecu></vehicle>",
     "bad.xml:2: unknown signal 'Nope'"},
    {"fault on unknown request",
     "<vehicle>\n<ecu id=\"1\" name=\"A\">\n<fault request=\"R\" code=\"0x22\"/>\n</ecu></vehicle>",
     "fault names unknown request 'R'"},
    {"wrong root", "<car/>", "bad.xml:1: the root element must be <vehicle>"},
    {"default beyond its byte",
     "<vehicle><ecu id=\"1\" name=\"A\"><request name=\"R\" service=\"0x30\">\n<data name=\"D\" position=\"1\" "
     "default=\"500\"/>\n</request></ecu></vehicle>",
     "bad.xml:2: default 500 of 'D' does not fit its 1 byte"},
    {"named value beyond its byte",
     "<vehicle><ecu id=\"1\" name=\"A\"><request name=\"R\" service=\"0x30\">\n<data name=\"L\" position=\"1\">\n"
     "<value name=\"X\" number=\"1\"/>\n<value name=\"Y\" number=\"300\"/>\n</data></request></ecu></vehicle>",
     "bad.xml:4: value 'Y' (300) of 'L' does not fit its 1 byte"},
    {"blank before a number", "<vehicle>\n<ecu id=\" 1\" name=\"A\"/>\n</vehicle>",
     "bad.xml:2: attribute 'id' is not an integer"},
    {"plus sign", "<vehicle><ecu id=\"1\" name=\"A\"><request name=\"R\" service=\"+48\"/></ecu></vehicle>",
     "attribute 'service' is not an integer: '+48'"},
    {"minus where none is allowed",
     "<vehicle><ecu id=\"1\" name=\"A\"><request name=\"R\" service=\"-0\"/></ecu></vehicle>",
     "attribute 'service' = -0 is out of range 0 to 255"},
    {"negative decimals",
     "<vehicle><ecu id=\"1\" name=\"A\"><request name=\"R\" service=\"0x30\">\n<data name=\"D\" position=\"1\" "
     "decimals=\"-1\"/>\n</request></ecu></vehicle>",
     "bad.xml:2: attribute 'decimals' = -1 is out of range 0 to 9"},
    {"default between two steps",
     "<vehicle><ecu id=\"1\" name=\"A\"><request name=\"R\" service=\"0x30\">\n<data name=\"D\" position=\"1\" "
     "default=\"2.5\"/>\n</request></ecu></vehicle>",
     "bad.xml:2: default 2.5 of 'D' is not one of its values (it would be sent as "},
    {"data item of an unknown device",
     "<vehicle><ecu id=\"1\" name=\"A\"><request name=\"R\" service=\"0x21\">\n<data name=\"D\" position=\"1\" "
     "device=\"Nope\"/>\n</request></ecu></vehicle>",
     "bad.xml:2: data item 'D' names unknown device 'Nope'"},
    {"answer from an unknown parameter",
     "<vehicle><ecu id=\"1\" name=\"A\"><request name=\"R\" service=\"0x21\"><response>\n"
     "<data name=\"D\" position=\"2\" source=\"param:Nope\"/>\n</response></request></ecu></vehicle>",
     "bad.xml:2: unknown parameter 'Nope'"},
    {"signal following an unknown parameter",
     "<vehicle><ecu id=\"1\" name=\"A\">\n<device name=\"P\" localId=\"1\">\n<signal name=\"S\" follows=\"Nope\"/>\n"
     "</device></ecu></vehicle>",
     "bad.xml:3: signal 'S' follows unknown parameter 'Nope'"},
    {"document type declaration",
     "<?xml version=\"1.0\"?>\n<!DOCTYPE vehicle [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;\">]>\n"
     "<vehicle name=\"&b;\"/>",
     "a document type declaration is not accepted"},
};

class RefusedDescription : public ::testing::TestWithParam<RefusedCase> {};

}  // namespace

TEST_P(RefusedDescription, shouldNameFileLineAndFault)
{
    const RefusedCase& c = GetParam();
    try {
        TavrinKwp::loadVehicleText(c.xml, "bad.xml");
        FAIL() << c.what << " was accepted";
    } catch (const Sorvik3::Error& error) {
        EXPECT_EQ(error.number(), number(SessionError::BadDescription)) << c.what;
        EXPECT_THAT(error.description(), HasSubstr(c.message)) << c.what;
    }
}

INSTANTIATE_TEST_SUITE_P(DescriptionFile, RefusedDescription, ::testing::ValuesIn(kRefused),
                         [](const ::testing::TestParamInfo<RefusedCase>& info) {
                             std::string name;
                             for (const char* c = info.param.what; *c; ++c)
                                 name += std::isalnum(*c) ? *c : '_';
                             return name;
                         });

TEST(DescriptionFile, shouldNeverLoadExternalEntities)
{
    const std::string secret = ::testing::TempDir() + "/tavrin-secret.txt";
    std::ofstream(secret) << "SECRET";
    const std::string xml = "<?xml version=\"1.0\"?>\n<!DOCTYPE vehicle [<!ENTITY s SYSTEM \"file://" + secret +
                            "\">]>\n<vehicle name=\"&s;\"/>";
    try {
        auto vehicle = TavrinKwp::loadVehicleText(xml, "hostile.xml");
        EXPECT_EQ(vehicle.name.find("SECRET"), std::string::npos);
    } catch (const Sorvik3::Error& error) {
        EXPECT_THAT(error.description(), HasSubstr("hostile.xml"));
    }
    std::remove(secret.c_str());
}

TEST(DescriptionFile, shouldNameAFileThatCannotBeRead)
{
    try {
        TavrinKwp::KwpSession::load("/nonexistent/vehicle.xml");
        FAIL();
    } catch (const Sorvik3::Error& error) {
        // No line to name: no ":0" either.
        EXPECT_THAT(error.description(), HasSubstr("/nonexistent/vehicle.xml: cannot open the file"));
    }
}

TEST(DescriptionFile, shouldNameLinesPastSixtyFiveThousand)
{
    const std::string xml = "<vehicle>" + std::string(70000, '\n') + "<ecu name=\"A\"/></vehicle>";
    try {
        TavrinKwp::loadVehicleText(xml, "long.xml");
        FAIL();
    } catch (const Sorvik3::Error& error) {
        EXPECT_THAT(error.description(), HasSubstr("long.xml:70001: <ecu> lacks the attribute 'id'"));
    }
}

TEST(DescriptionFile, shouldRefuseAFileLargerThanTheLimitBeforeReadingIt)
{
    const std::string huge = ::testing::TempDir() + "/tavrin-huge.xml";
    std::ofstream(huge) << "<vehicle/>";
    std::filesystem::resize_file(huge, (64u << 20) + 1);
    try {
        TavrinKwp::KwpSession::load(huge);
        FAIL();
    } catch (const Sorvik3::Error& error) {
        EXPECT_THAT(error.description(), HasSubstr("the file is larger than 64 MiB"));
    }
    std::remove(huge.c_str());
}

TEST(DescriptionFile, shouldLoadTheShippedDemoVehicle)
{
    auto session = TavrinKwp::KwpSession::load(std::string(TAVRIN_DEMO_FILE));
    EXPECT_EQ(session->Ecus().size(), 6u);
}
