#include "tools/mapc/osm_data.h"

#include <numbers>

#include <osmium/io/any_input.hpp>
#include <osmium/osm/node.hpp>
#include <osmium/osm/way.hpp>

namespace mapc {

std::string_view TagValue(const Tags& tags, std::string_view key)
{
    for (const auto& [k, v] : tags) {
        if (k == key)
            return v;
    }
    return {};
}

double Location::LongitudeRadians() const { return x * 1e-7 * std::numbers::pi / 180.0; }
double Location::LatitudeRadians() const { return y * 1e-7 * std::numbers::pi / 180.0; }

Location OsmData::At(const OsmWay& way, size_t index) const
{
    const auto it = locations.find(way.nodes.at(index));
    if (it == locations.end())
        throw CompileError("way " + std::to_string(way.id) + " refers to node " + std::to_string(way.nodes[index]) +
                           ", which the input does not hold");
    return it->second;
}

namespace {

Tags CopyTags(const osmium::TagList& list)
{
    Tags tags;
    tags.reserve(list.size());
    for (const osmium::Tag& t : list)
        tags.emplace_back(t.key(), t.value());
    return tags;
}

}  // namespace

OsmData ReadOsm(const std::string& path)
{
    OsmData data;
    try {
        osmium::io::Reader reader{osmium::io::File{path},
                                  osmium::osm_entity_bits::node | osmium::osm_entity_bits::way};
        while (osmium::memory::Buffer buffer = reader.read()) {
            for (const osmium::OSMEntity& entity : buffer) {
                if (entity.type() == osmium::item_type::node) {
                    const auto& node = static_cast<const osmium::Node&>(entity);
                    if (node.deleted())
                        continue;
                    const osmium::Location loc = node.location();
                    if (!loc.valid())
                        throw CompileError("node " + std::to_string(node.id()) + " has no valid position");
                    const Location at{loc.x(), loc.y()};
                    data.locations[node.id()] = at;
                    if (!node.tags().empty())
                        data.points.push_back({node.id(), at, CopyTags(node.tags())});
                } else if (entity.type() == osmium::item_type::way) {
                    const auto& way = static_cast<const osmium::Way&>(entity);
                    if (way.deleted() || way.tags().empty())
                        continue;
                    OsmWay w;
                    w.id = way.id();
                    w.nodes.reserve(way.nodes().size());
                    for (const osmium::NodeRef& ref : way.nodes())
                        w.nodes.push_back(ref.ref());
                    w.tags = CopyTags(way.tags());
                    data.ways.push_back(std::move(w));
                }
            }
        }
        reader.close();
    } catch (const CompileError&) {
        throw;
    } catch (const std::exception& e) {
        throw CompileError(path + ": " + e.what());
    }
    try {
        for (const OsmWay& w : data.ways) {
            for (size_t i = 0; i < w.nodes.size(); ++i)
                data.At(w, i);
        }
    } catch (const CompileError& e) {
        throw CompileError(path + ": " + e.what());
    }
    return data;
}

}  // namespace mapc
