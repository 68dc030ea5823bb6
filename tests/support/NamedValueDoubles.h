// Small doubles of a list of named values and of the data item that holds it,
// for rules a simulated vehicle file cannot express.
#pragma once

#include "Sorvik3.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

// Entries in order; a name may stand twice, the first one answers Value.
struct NamedEntries final : Sorvik3::NumericList {
    std::vector<std::pair<std::string, int32_t>> entries;
    int32_t LastIndex() override { return static_cast<int32_t>(entries.size()) - 1; }
    std::string Item(int32_t i) override { return entries.at(static_cast<size_t>(i)).first; }
    int32_t Value(const std::string& name) override
    {
        for (const auto& [n, v] : entries) {
            if (n == name) return v;
        }
        throw Sorvik3::Error(5, "no " + name);
    }
};

// A tester-side item; without a list it is no list of named values.
struct NamedItem final : Sorvik3::Data {
    explicit NamedItem(std::string name) : name(std::move(name)) {}
    std::string name;
    std::shared_ptr<NamedEntries> list;
    std::string Name() override { return name; }
    std::string Unit() override { return {}; }
    Sorvik3::NumericListRef NumericList() override { return list; }
    Sorvik3::RequestRef Request() override { return nullptr; }
    Sorvik3::DataDeviceRef Device() override { return nullptr; }
    bool InResponse() override { return false; }
    std::string ValueText() override { return {}; }
    double NumericValue() override { return 0; }
    void setNumericValue(int32_t) override {}
    void setValueName(const std::string&) override {}
};
