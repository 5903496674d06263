#pragma once

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

namespace mapc {

// One way of recognising a point of interest in OpenStreetMap tags: the tag
// key=value, and where one tag is not enough a second one that must be present
// too. Several rules may give one category; the first rule of a category is
// the one the map generator uses to make an example of it.
struct PoiRule {
    uint16_t category;
    std::string_view key;
    std::string_view value;
    std::string_view key2; // empty: no second tag
    std::string_view value2;
    std::string_view name; // the category's name, UTF-8
};

const std::vector<PoiRule>& PoiRules();

// The category of an object by its tags (`tag(key)` gives the value, empty
// when absent): the first rule that matches; 0 for an object that carries an
// amenity, shop, tourism or office tag of no rule; -1 when it is not a POI.
int PoiCategory(const std::function<std::string_view(std::string_view)>& tag);

} // namespace mapc
