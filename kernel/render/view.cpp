#include "kernel/render/view.h"

#include <algorithm>
#include <new>

#include "kernel/api/result_codes.h"
#include "kernel/doc/object_cursor.h"
#include "kernel/doc/passage_journal.h"
#include "kernel/doc/tzx_doc.h"
#include "kernel/render/async_renderer.h"
#include "kernel/render/render_clock.h"
#include "kernel/router/graph_router.h"

namespace {

constexpr uint32_t kBusyWaitMs = 10000;
constexpr uint32_t kBusyPollMs = 50;
constexpr uint32_t kQuickFrameMs = 200;
constexpr uint32_t kQuickLayerMs = 40;
constexpr int32_t kQuickLayerObjects = 2048;
constexpr int32_t kNoParent = 0x1fffff;

constexpr uint32_t Rgb(uint32_t r, uint32_t g, uint32_t b) { return r | (g << 8) | (b << 16); }

constexpr uint32_t kPassageColours[ZXS_PASSAGE_COLOURS] = {
    Rgb(16, 192, 16),
    Rgb(48, 224, 48),
    Rgb(192, 240, 112),
    Rgb(255, 255, 0),
    Rgb(255, 192, 48),
    Rgb(255, 144, 0),
    Rgb(240, 64, 64),
    Rgb(192, 16, 16),
};

} // namespace

uint32_t ZXS_PassageColour(int32_t index)
{
    index &= 0xff;
    return index < ZXS_PASSAGE_COLOURS ? kPassageColours[index] : 0;
}

CZXS_View::CZXS_View(CZXS_TzxDoc* doc, const CZXS_StyleTable* styles)
    : m_doc(doc)
    , m_styles(styles != nullptr || doc == nullptr ? styles : &doc->Styles())
{
    try {
        m_symbols.reserve(200);
        m_chains.reserve(512);
        m_chainPoints.reserve(1536);
        m_areaLabels.reserve(512);
        m_pointLabels.reserve(512);
        m_pointObjects.reserve(512);
        m_strokes.reserve(1024);
        m_groups.reserve(256);
        m_screen.reserve(1024);
    } catch (const std::bad_alloc&) {
        m_failed = true;
    }
    if (!m_points.Reserve(1024))
        m_failed = true;
}

CZXS_View::~CZXS_View()
{
    // A frame still running on the render thread would draw into a view that is
    // gone: take the job away first, waiting as long as it takes to stop.
    while (!CAsyncRenderer::Instance().Cancel(this, false)) { }
    DeleteRouter();
}

void CZXS_View::DocumentClosing()
{
    while (!CAsyncRenderer::Instance().Cancel(this, false)) { }
    DeleteRouter();
    m_doc = nullptr;
    m_styles = nullptr;
}

void CZXS_View::SetFonts(const CAppFT_Manager* fonts)
{
    m_font.AttachFace(fonts);
    m_hasFonts = fonts != nullptr && fonts->GetEngine() != nullptr;
}

int CZXS_View::SetImage(CZXS_ClippedImage* image)
{
    const std::lock_guard<std::mutex> lock(m_routeLock);
    m_image = image;
    if (image != nullptr && image->Surface() != nullptr) {
        const ZXS_ScreenRect rect { 0, 0, image->Width() - 1, image->Height() - 1 };
        m_update = rect;
        m_dirty = true;
        m_routeFlags |= kRouteShow;
        m_routePen = {};
        m_routePen.outer = CZX_Surface565::Colour565(255, 255, 176);
        m_routePen.centre = CZX_Surface565::Colour565(240, 32, 32);
        m_routePen.outerCopy = m_routePen.outer;
        m_routePen.markedCentre = CZX_Surface565::Colour565(255, 0, 0);
        m_routePen.outerWidth = 11;
        m_routePen.centreWidth = 5;
        m_routePen.markedOuterWidth = 5;
        m_routePen.markedCentreWidth = 1;
        CZX_Surface565* surface = image->Surface();
        m_dc = { surface->Bits() + surface->RowOffset(0), surface->Width(), surface->Height(),
            -surface->Stride() };
        return SetScreenRect(&rect);
    }
    m_image = nullptr;
    m_dc = {};
    const ZXS_ScreenRect none {};
    m_update = none;
    m_routePen = {};
    m_routeFlags &= 0xf0;
    return SetScreenRect(&none);
}

void CZXS_View::SetUpdateRect(const ZXS_ScreenRect& rect)
{
    const ZXS_ScreenRect& s = ScreenRect();
    m_update.left = std::clamp(rect.left, s.left, s.right);
    m_update.right = std::clamp(rect.right, s.left, s.right);
    m_update.top = std::clamp(rect.top, s.top, s.bottom);
    m_update.bottom = std::clamp(rect.bottom, s.top, s.bottom);
}

void CZXS_View::ResetLists()
{
    m_symbols.clear();
    m_chains.clear();
    m_chainPoints.clear();
    m_areaLabels.clear();
    m_pointLabels.clear();
    m_pointObjects.clear();
    m_strokes.clear();
    m_groups.clear();
}

void CZXS_View::AckRender()
{
    int32_t done = kDone;
    m_state.compare_exchange_strong(done, kIdle);
}

void CZXS_View::SetNotify(NotifyFunction function, void* user)
{
    const std::lock_guard<std::mutex> lock(m_notifyLock);
    m_notify = function;
    m_notifyUser = user;
}

void CZXS_View::Notify()
{
    const std::lock_guard<std::mutex> lock(m_notifyLock);
    if (m_notify != nullptr)
        m_notify(10000, m_notifyUser, this);
}

int CZXS_View::CreateRouter()
{
    const std::lock_guard<std::mutex> lock(m_routeLock);
    if (!m_router) {
        if (m_doc == nullptr)
            return 0;
        if (m_doc->RoadGraph().EdgeCount() == 0)
            m_router.reset(new (std::nothrow) CZXS_Router());
        else
            m_router.reset(new (std::nothrow) CZXS_GraphRouter());
        if (!m_router)
            return 0;
        if (m_router->Attach(m_doc) == 0) {
            m_router.reset();
            return 0;
        }
    }
    return 1;
}

void CZXS_View::DeleteRouter()
{
    const std::lock_guard<std::mutex> lock(m_routeLock);
    m_router.reset();
}

int CZXS_View::Render(bool quick, bool plainLines)
{
    const uint32_t start = ZXS_RenderTick();
    int result = 0;
    if (m_image == nullptr || m_image->Surface() == nullptr) {
        SetError(ZXS_KERR_NOIMAGE);
        m_state.store(kDone);
        return 0;
    }
    if (m_doc == nullptr) {
        SetError(ZXS_KERR_NOSOURCE);
        m_state.store(kDone);
        return 0;
    }
    if (Check() == 0) {
        m_state.store(kDone);
        return 0;
    }
    // Only the frame that took the busy flag clears it: one that gave up
    // waiting leaves the running frame's flag alone.
    while (!TryBeginFrame()) {
        if (ZXS_RenderTick() - start >= kBusyWaitMs) {
            SetError(ZXS_KERR_VIEWBUSY);
            m_state.store(kDone);
            return 0;
        }
        ZXS_RenderSleep(kBusyPollMs);
    }
    const bool plain = plainLines && m_image->Antialiased();
    if (plain)
        m_image->SetAntialiased(false);
    try {
        result = RenderFrame(quick);
    } catch (const std::bad_alloc&) {
        m_failed = true;
        SetError(ZXS_KERR_MEMORY);
        result = 0;
    }
    if (plain)
        m_image->SetAntialiased(true);
    m_dirty = false;
    EndFrame();
    m_state.store(kDone);
    return result;
}

bool CZXS_View::TryBeginFrame()
{
    uint8_t expected = 0;
    return m_busy.compare_exchange_strong(expected, 1);
}

bool CZXS_View::StopCheck(int& result) const
{
    if (m_failed) {
        result = 0;
        return false;
    }
    if (m_cancel.load() != 0) {
        result = 1;
        return false;
    }
    return true;
}

// The passage journal's entries, walked in object order alongside the road
// layers, from a copy taken when the first road layer is drawn, so that a
// journal changed meanwhile cannot move under the walk.
struct CZXS_View::PassageWalk {
    CZXS_PassageJournal* journal = nullptr;
    int32_t firstRoad = -1;
    int32_t roadCount = 0;
    std::vector<CZXS_PassageJournal::Entry> entries;
    bool started = false;
    size_t next = 0;
    int32_t base = 0; // the first road object

    bool Covers(int32_t layer) const
    {
        return journal != nullptr && firstRoad >= 0 && roadCount > 0 && layer >= firstRoad
            && layer < firstRoad + roadCount;
    }

    void Start(const CZXS_TzxDoc& doc)
    {
        if (started)
            return;
        started = true;
        const uint32_t count = journal->Count();
        entries.reserve(count);
        for (uint32_t e = 0; e < count; ++e) {
            CZXS_PassageJournal::Entry entry;
            if (journal->EntryAt(e, entry))
                entries.push_back(entry);
        }
        const CZXS_LayerDesc first = doc.GetLayerDesc(firstRoad);
        base = first ? first.FirstObject() : 0;
    }

    // The setting of the object, when the journal has one; objects come in order.
    void Find(int32_t object, uint8_t& costClass, uint8_t& passage)
    {
        const int64_t offset = int64_t { object } - base;
        while (next < entries.size() && int64_t { entries[next].roadOffset } < offset)
            ++next;
        if (next < entries.size() && int64_t { entries[next].roadOffset } == offset) {
            costClass = entries[next].costClass;
            passage = entries[next].directions;
            ++next;
        }
    }
};

int CZXS_View::RenderFrame(bool quick)
{
    m_frameStart = ZXS_RenderTick();
    m_counts = {};
    m_labelNumber = 0;
    if (m_glyphRecord != nullptr)
        m_glyphRecord->clear();
    // A list that could not grow in an earlier frame is usable again once emptied.
    if (m_failed && m_strokes.empty() && m_chains.empty())
        m_failed = false;
    const int32_t scale = Scale();
    m_styleFactor = 128.0f / static_cast<float>(scale);
    m_visible = MapBoxOfScreenRect(ScreenRect());
    const ZXS_Rect box { m_visible.left, m_visible.top, m_visible.right, m_visible.bottom };
    CZXS_ObjectCursor cursor(m_doc);
    cursor.SetBox(&box);
    cursor.SetThinning(scale / 64);
    OccupyBorders();
    int result = 1;
    if (!StopCheck(result))
        return result;

    const CZXS_TzxHeader& header = m_doc->Header();
    PassageWalk passages;
    passages.journal = m_doc->Journal();
    passages.firstRoad = header.I16(CZXS_TzxHeader::kFirstRoadLayer);
    passages.roadCount = header.I16(CZXS_TzxHeader::kRoadLayerCount);
    const int32_t layers = m_doc->LayerCount();
    for (int32_t i = 0; i < layers; ++i) {
        if (!DrawLayer(cursor, quick ? layers - 1 - i : i, quick, passages, result))
            return result;
    }
    if (!StopCheck(result) || !DrawOverlays(quick, result))
        return result;
    if (quick || !m_hasFonts)
        return 1;
    DrawLabels(result);
    return result;
}

bool CZXS_View::DrawLayer(
    CZXS_ObjectCursor& cursor, int32_t layer, bool quick, PassageWalk& passages, int& result)
{
    const CZXS_LayerDesc desc = m_doc->GetLayerDesc(layer);
    if (!desc)
        return true;
    const bool walking = !quick && m_passageOverlay && passages.Covers(layer);
    if (walking)
        passages.Start(*m_doc);
    const CZXS_StyleRecord style = m_styles->StyleFor(desc.StyleGroup(), m_styleFactor);
    if (!style || (style.Flags() & 0x20) == 0)
        return true;
    const bool overlayOnly = (style.Bytes()[5] & 0x20) != 0;
    // Without any passage setting such a layer has nothing to draw, and far
    // out walking it would cost as much as drawing it.
    if (overlayOnly && (!walking || quick || passages.entries.empty()))
        return true;
    if (quick && ZXS_RenderTick() - m_frameStart > kQuickFrameMs) {
        result = 1;
        return false;
    }
    const int32_t scale = Scale();
    const int64_t polygonMin = static_cast<int64_t>(scale * 10.0 / 128.0 + 0.5);
    const int64_t lineMin = static_cast<int64_t>(scale / 128.0 + 0.5);
    const bool vector = desc.SymbolNumber() == 255;
    // What the style can draw of a vector layer's lines and areas: a layer
    // that draws nothing is not walked, and blocks whose objects are all too
    // small to be drawn are passed over.
    const uint8_t* b = style.Bytes();
    const bool labelled = (style.Flags() & 0x10) != 0;
    const bool lines = overlayOnly || walking || labelled || b[17] != 0 || b[23] != 0 || (b[40] & 0x01) != 0;
    const bool areas = labelled || (b[5] & 0x08) == 0 || (b[29] != 0 && (b[5] & 0x10) == 0);
    if (vector && !lines && !areas)
        return true;
    if (cursor.SetLayer(layer) == 0)
        return true;
    cursor.SetSmallBlocks(!vector ? -1 : lines ? lineMin : polygonMin);
    const bool linked = (desc.Flags() & CZXS_LayerDesc::kLinked) != 0;
    int32_t lastName = ZXS_NO_OBJECT;
    int32_t lastLink = -1;
    const uint32_t layerStart = ZXS_RenderTick();
    int32_t done = 0;
    do {
        if (!StopCheck(result))
            return false;
        if (quick && (done & 127) == 0 && done > 0
            && (done >= kQuickLayerObjects || ZXS_RenderTick() - layerStart > kQuickLayerMs))
            break;
        ++done;
        const CZXS_ObjectRecord record = cursor.Record();
        uint8_t costClass = 0;
        uint8_t passage = 0;
        if (walking)
            passages.Find(cursor.Object(), costClass, passage);
        ZXS_Rect bounds;
        if (overlayOnly) {
            if (passage != 0 && cursor.CollectPoints(&m_points, &bounds, true) != 0)
                DrawPolyline(ZXS_NO_OBJECT, style, 0, passage, costClass, quick);
            continue;
        }
        const int32_t name = !quick && (style.Flags() & 0x10) != 0 ? record.NameId() : ZXS_NO_OBJECT;
        if (cursor.CollectPoints(&m_points, &bounds, true) == 0)
            continue;
        ++m_counts.objects;
        const int64_t extent
            = int64_t { bounds.right } - bounds.left + (int64_t { bounds.bottom } - bounds.top);
        if (!vector) {
            DrawPointSymbol(name, desc);
        } else if (record.IsClosed()) {
            if (extent <= polygonMin)
                continue;
            // In a run of same-named areas every second one keeps its name.
            int32_t shown = name;
            if (name == lastName) {
                const int32_t link = record.LinkId();
                if (!linked || link == lastLink)
                    shown = ZXS_NO_OBJECT;
                else
                    lastLink = link;
            }
            lastName = shown;
            DrawPolygon(shown, style, quick);
        } else if (extent > lineMin) {
            const uint8_t directions
                = static_cast<uint8_t>((record.IsForward() ? 1 : 0) | (record.IsBackward() ? 2 : 0));
            DrawPolyline(name, style, directions, passage, costClass, quick);
        }
    } while (cursor.NextObject() != 0);
    return true;
}

bool CZXS_View::DrawOverlays(bool quick, int& result)
{
    if (!quick)
        DrawRoute();
    DrawPointObjectIcons(result);
    if (!quick)
        DrawPoiSymbols(result);
    if (!StopCheck(result))
        return false;
    for (const SymbolRecord& s : m_symbols) {
        if (m_cancel.load() != 0) {
            result = 1;
            return false;
        }
        const uint16_t colour = CZX_Surface565::ColourFromBgr(ZXS_PassageColour(s.colour));
        m_image->DrawSymbol(s.x, s.y, s.symbol, colour);
    }
    m_counts.chains = static_cast<int32_t>(m_chains.size());
    m_counts.symbols = static_cast<int32_t>(m_symbols.size());
    m_counts.candidates = static_cast<int32_t>(m_areaLabels.size() + m_pointLabels.size());
    return true;
}

void CZXS_View::DrawLabels(int& result)
{
    // The style of a label's group, looked up again only when the group changes.
    int32_t group = -1;
    CZXS_StyleRecord style;
    const auto styleOf = [&](uint8_t g) {
        if (g != group) {
            group = g;
            style = m_styles->StyleFor(g, m_styleFactor);
        }
        return style;
    };
    for (size_t c = m_chains.size(); c-- > 0;) {
        if (!StopCheck(result))
            return;
        const Chain chain = m_chains[c];
        if (styleOf(chain.group))
            m_counts.labels += DrawChainLabel(chain, style);
    }
    // Named point objects inside the update rectangle; localities before
    // their parts (a name with a parent is part of a larger place), so that
    // where room is short the larger places keep their names.
    const CZXS_NameTable& names = m_doc->Names();
    m_labelOrder.clear();
    for (const PointObject& p : m_pointObjects)
        if (p.name != ZXS_NO_OBJECT && p.x >= m_update.left && p.x <= m_update.right && p.y >= m_update.top
            && p.y <= m_update.bottom)
            m_labelOrder.push_back(&p);
    std::stable_sort(
        m_labelOrder.begin(), m_labelOrder.end(), [&](const PointObject* a, const PointObject* b) {
            return (names.PrefixValue(a->name) != kNoParent) < (names.PrefixValue(b->name) != kNoParent);
        });
    // Each one's first choice, its name right of its square, is kept for it
    // while those before it look for their places (its middle only, so that
    // names may still come close to it).
    group = -1;
    m_firstChoices.clear();
    for (const PointObject* p : m_labelOrder) {
        const int32_t t = styleOf(p->group) ? (style.Bytes()[7] + 1) / 2 : 0;
        const std::string text = LabelText(p->name, m_nameVariant);
        const int32_t width = t > 0 && SetLabelFont(t) ? m_font.TextWidth(text.c_str(), names.CodePage()) : 0;
        const double half = std::max(width, 0) / 128.0;
        m_firstChoices.push_back(
            { p->x + p->halfWidth - 1 + half, p->y + 1.0, 1, 0, half, std::max(t - 2.0, 0.0) });
    }
    group = -1;
    for (size_t i = 0; i < m_labelOrder.size(); ++i) {
        if (!StopCheck(result))
            return;
        const PointObject& p = *m_labelOrder[i];
        const ZXS_ScreenPoint anchors[4] = { { p.x - p.halfWidth + 1, p.y }, { p.x + p.halfWidth - 1, p.y },
            { p.x, p.y - p.halfHeight }, { p.x, p.y + p.halfHeight } };
        if (styleOf(p.group)
            && PlacePointLabel(anchors, p.name, style, false, m_firstChoices.data() + i + 1,
                   m_firstChoices.size() - i - 1)
                >= 0)
            ++m_counts.labels;
    }
    group = -1;
    for (const AreaLabel& a : m_areaLabels) {
        if (!StopCheck(result))
            return;
        if (styleOf(a.group))
            m_counts.labels += DrawAreaLabel(a, style);
    }
    group = -1;
    int32_t lastDrawn = ZXS_NO_OBJECT;
    for (const PointLabel& p : m_pointLabels) {
        if (!StopCheck(result))
            return;
        if (p.name == lastDrawn || !styleOf(p.group))
            continue;
        if (PlacePointLabel(p.anchors, p.name, style, true) >= 0) {
            ++m_counts.labels;
            lastDrawn = p.name;
        }
    }
    result = 1;
}
