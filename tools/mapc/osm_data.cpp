#include "tools/mapc/osm_data.h"

#include <numbers>

#include <osmium/area/assembler.hpp>
#include <osmium/area/multipolygon_manager.hpp>
#include <osmium/handler/node_locations_for_ways.hpp>
#include <osmium/index/map/flex_mem.hpp>
#include <osmium/index/map/sparse_file_array.hpp>
#include <osmium/index/map/sparse_mem_array.hpp>
#include <osmium/io/any_input.hpp>
#include <osmium/osm/area.hpp>
#include <osmium/osm/node.hpp>
#include <osmium/osm/way.hpp>
#include <osmium/relations/relations_manager.hpp>
#include <osmium/visitor.hpp>

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

size_t NodeLocations::s_memoryNodes = size_t { 1 } << 22;

struct NodeLocations::Index {
    using Memory = osmium::index::map::SparseMemArray<uint64_t, osmium::Location>;
    using File = osmium::index::map::SparseFileArray<uint64_t, osmium::Location>;
    std::unique_ptr<Memory> memory = std::make_unique<Memory>();
    std::unique_ptr<File> file;
    bool sorted = true;

    osmium::index::map::Map<uint64_t, osmium::Location>& Map()
    {
        if (file)
            return *file;
        return *memory;
    }
    // Ids of either sign, folded onto the index's unsigned ones.
    static uint64_t Key(int64_t id)
    {
        return (static_cast<uint64_t>(id) << 1) ^ static_cast<uint64_t>(id >> 63);
    }
};

NodeLocations::NodeLocations()
    : m_index(std::make_unique<Index>())
{
}
NodeLocations::~NodeLocations() = default;
NodeLocations::NodeLocations(NodeLocations&&) noexcept = default;
NodeLocations& NodeLocations::operator=(NodeLocations&&) noexcept = default;

void NodeLocations::Set(int64_t id, Location at)
{
    Index& x = *m_index;
    if (!x.file && x.memory->size() >= s_memoryNodes) {
        x.file = std::make_unique<Index::File>();
        for (const auto& [key, location] : *x.memory)
            x.file->set(key, location);
        x.memory.reset();
    }
    x.Map().set(Index::Key(id), osmium::Location(at.x, at.y));
    x.sorted = false;
}

bool NodeLocations::Find(int64_t id, Location& at) const
{
    Index& x = *m_index;
    if (!x.sorted) {
        x.Map().sort();
        x.sorted = true;
    }
    const osmium::Location l = x.Map().get_noexcept(Index::Key(id));
    if (!l.valid())
        return false;
    at = { l.x(), l.y() };
    return true;
}

Location NodeLocations::at(int64_t id) const
{
    Location l;
    if (!Find(id, l))
        throw std::out_of_range("node " + std::to_string(id) + " is missing");
    return l;
}

size_t NodeLocations::size() const { return m_index->file ? m_index->file->size() : m_index->memory->size(); }
bool NodeLocations::InFile() const { return m_index->file != nullptr; }

Location OsmData::At(const OsmWay& way, size_t index) const
{
    Location at;
    if (!locations.Find(way.nodes.at(index), at))
        throw CompileError("way " + std::to_string(way.id) + " refers to node "
            + std::to_string(way.nodes[index]) + ", which the input does not hold");
    return at;
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

} // namespace

OsmData ReadOsm(const std::string& path)
{
    OsmData data;
    try {
        // Multipolygon relations are read first; their areas are assembled
        // while the nodes and ways go by.
        const osmium::io::File file { path };
        osmium::area::MultipolygonManager<osmium::area::Assembler> multipolygons {
            osmium::area::Assembler::config_type {}
        };
        osmium::relations::read_relations(file, multipolygons);
        using Index = osmium::index::map::FlexMem<osmium::unsigned_object_id_type, osmium::Location>;
        Index index;
        osmium::handler::NodeLocationsForWays<Index> wayLocations { index };
        wayLocations.ignore_errors(); // a kept way with a missing node is reported below
        auto& areas = multipolygons.handler([&data](osmium::memory::Buffer&& buffer) {
            for (const osmium::Area& area : buffer.select<osmium::Area>()) {
                if (area.from_way())
                    continue; // closed ways are the compiler's own business
                OsmArea a;
                a.relation = area.orig_id();
                for (const osmium::OuterRing& outer : area.outer_rings()) {
                    a.rings.emplace_back();
                    for (const osmium::NodeRef& ref : outer)
                        a.rings.back().push_back(ref.ref());
                    for (const osmium::InnerRing& inner : area.inner_rings(outer)) {
                        a.rings.emplace_back();
                        for (const osmium::NodeRef& ref : inner)
                            a.rings.back().push_back(ref.ref());
                    }
                }
                a.tags = CopyTags(area.tags());
                data.areas.push_back(std::move(a));
            }
        });
        osmium::io::Reader reader { file, osmium::osm_entity_bits::node | osmium::osm_entity_bits::way };
        if (const osmium::Box box = reader.header().box(); box.valid()) {
            data.bounds
                = { box.bottom_left().x(), box.bottom_left().y(), box.top_right().x(), box.top_right().y() };
        }
        while (osmium::memory::Buffer buffer = reader.read()) {
            osmium::apply(buffer, wayLocations, areas);
            for (const osmium::OSMEntity& entity : buffer) {
                if (entity.type() == osmium::item_type::node) {
                    const auto& node = static_cast<const osmium::Node&>(entity);
                    if (node.deleted())
                        continue;
                    const osmium::Location loc = node.location();
                    if (!loc.valid())
                        throw CompileError("node " + std::to_string(node.id()) + " has no valid position");
                    const Location at { loc.x(), loc.y() };
                    data.locations.Set(node.id(), at);
                    if (!node.tags().empty())
                        data.points.push_back({ node.id(), at, CopyTags(node.tags()) });
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

} // namespace mapc
