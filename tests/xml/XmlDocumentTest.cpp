// The XML wrapper: the first parse error with its place, XPath that libxml2
// refuses matching nothing, localised texts read as they stand, no entity expanded.
#include "XmlDocument.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

namespace {

TEST(XmlDocument, shouldSayWhereAFileBreaksAndRefuseWhatIsNoFile)
{
    const auto broken = TavrinXml::Document::parse("<a>\n  <b>\n</a>\n", "broken.xml");
    ASSERT_FALSE(broken.loaded());
    ASSERT_TRUE(broken.error().has_value());
    EXPECT_EQ(broken.error()->line, 3);
    EXPECT_FALSE(broken.error()->reason.empty());
    EXPECT_EQ(TavrinXml::notAFile("/"), "a directory, not a file");
    EXPECT_EQ(TavrinXml::notAFile("/nonexistent-file.xml"), "");  // opening it says why
    const auto missing = TavrinXml::Document::load("/nonexistent-file.xml");
    EXPECT_FALSE(missing.loaded());
}

TEST(XmlDocument, shouldSelectWithXPathAndMatchNothingForABadExpression)
{
    const auto doc = TavrinXml::Document::parse(
        "<software><Controls><cb><caption xml:lang='en'>Start</caption><caption xml:lang='fr'>Démarrer</caption>"
        "</cb></Controls></software>");
    ASSERT_TRUE(doc.loaded());
    const auto captions = doc.selectAll("/software/Controls/cb/caption");
    ASSERT_EQ(captions.size(), 2u);
    EXPECT_EQ(TavrinXml::text(captions[1]), "Démarrer");
    EXPECT_EQ(TavrinXml::attribute(captions[1], "lang"), "fr");
    EXPECT_EQ(TavrinXml::line(captions[0]), 1);
    std::vector<TavrinXml::Node> none;
    EXPECT_FALSE(doc.trySelectAll("/software/[", nullptr, none));  // refused, not thrown
    EXPECT_TRUE(none.empty());
    EXPECT_EQ(doc.selectFirst("//*[unknown-function()]"), nullptr);
    EXPECT_TRUE(TavrinXml::Document().selectAll("/software").empty());  // an empty document matches nothing
}

TEST(XmlDocument, shouldNeitherExpandEntitiesNorReadOtherFiles)
{
    const char* secret = "/tmp/xml-document-test-secret.txt";
    std::ofstream(secret) << "secret";
    const auto doc =
        TavrinXml::Document::parse(std::string("<!DOCTYPE a [<!ENTITY s SYSTEM 'file://") + secret + "'>]><a>&s;</a>");
    // Refused, or read with the entity left unexpanded: never the other file's text.
    EXPECT_TRUE(!doc.loaded() || TavrinXml::text(doc.root()).find("secret") == std::string::npos);
    std::remove(secret);
}

}  // namespace
