// Reads and checks the attributes of a description file's elements. Every
// complaint names the file and the line, so a refused file is easy to mend.
#pragma once

#include "XmlDocument.h"

#include <cstdint>
#include <string>

namespace TavrinKwp {

class AttributeReader {
  public:
    explicit AttributeReader(std::string file) : file_(std::move(file)) {}

    [[noreturn]] void fail(int line, const std::string& what) const;
    [[noreturn]] void fail(TavrinXml::Node node, const std::string& what) const;

    std::string required(TavrinXml::Node node, const char* name) const;
    std::string text(TavrinXml::Node node, const char* name, const std::string& fallback) const;
    // Decimal or 0x-hex integers within [low, high].
    int64_t integer(TavrinXml::Node node, const char* name, int64_t low, int64_t high) const;
    int64_t integerOr(TavrinXml::Node node, const char* name, int64_t fallback, int64_t low, int64_t high) const;
    int32_t int32(TavrinXml::Node node, const char* name) const;
    double number(TavrinXml::Node node, const char* name, double fallback) const;
    bool boolean(TavrinXml::Node node, const char* name, bool fallback) const;

  private:
    std::string file_;
};

}  // namespace TavrinKwp
