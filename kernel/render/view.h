#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "kernel/api/types.h"
#include "kernel/doc/app_doc_manager.h"
#include "kernel/doc/point_collector.h"
#include "kernel/doc/style_record.h"
#include "kernel/render/clipped_image.h"
#include "kernel/render/coords.h"
#include "kernel/render/font.h"

class CAppFT_Manager;
class CZXS_PoiStore;
class CZXS_SymbolSet;
class CZXS_LayerDesc;
class CZXS_ObjectCursor;
class CZXS_Router;
class CZXS_TzxDoc;

// Colours of the passage overlay by cost class (0x00BBGGRR), green to dark red.
inline constexpr int32_t ZXS_PASSAGE_COLOURS = 16;
uint32_t ZXS_PassageColour(int32_t index);

// The map view of the kernel: one screen-sized picture of one map document. It
// keeps the lists one frame fills (direction symbols, label chains and label
// candidates, point objects, the label-occupancy table) and renders frames into
// the image attached to it, on the render thread or on the caller's thread.
class CZXS_View : public CZXS_Coords, public CZXS_DocObserver {
public:
    using NotifyFunction = void (*)(int32_t code, void* user, CZXS_View* view);

    // Route display flags.
    static constexpr uint8_t kRouteShow = 0x01;
    static constexpr uint8_t kRouteAllPoints = 0x02;
    static constexpr uint8_t kRouteMarkers = 0x04;
    static constexpr uint8_t kRouteHiddenMarkers = 0x08;

    enum RenderState : int32_t { kIdle = 0, kQueued = 1, kDone = 2 };

    // A straight piece of something drawn, widened by a half width, in pixels.
    struct Stroke {
        double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
        double cx = 0, cy = 0;
        double hx = 0, hy = 0; // half extents of the box
        double length = 0;
        double ux = 1, uy = 0; // unit vector from the first end to the second
    };
    // A piece of a stroke, as distances from its first end.
    struct Interval {
        double from;
        double to;
    };
    // Strokes placed together (one label or one icon) with their common box.
    struct Group {
        bool icon = false;
        bool street = false; // a street name along its line
        double halfWidth = 0;
        double cx = 0, cy = 0, hx = 0, hy = 0;
        uint32_t first = 0;
        uint32_t count = 0;
    };

    // Drawn with `styles` (none: the map's own).
    explicit CZXS_View(CZXS_TzxDoc* doc, const CZXS_StyleTable* styles = nullptr);
    ~CZXS_View() override;
    CZXS_View(const CZXS_View&) = delete;
    CZXS_View& operator=(const CZXS_View&) = delete;

    const char16_t* ClassName() const override { return u"CZXS_View"; }

    CZXS_TzxDoc* Document() const { return m_doc; }
    // The face labels are drawn with (none: no labels).
    void SetFonts(const CAppFT_Manager* fonts);
    // The POIs shown on the map and the icons of their categories (none: no POI icons).
    void SetPoiSources(const CZXS_PoiStore* pois, const CZXS_SymbolSet* icons)
    {
        m_pois = pois;
        m_icons = icons;
    }

    // Attaches the image (none detaches it); the view does not own it.
    int SetImage(CZXS_ClippedImage* image);
    CZXS_ClippedImage* Image() const { return m_image; }
    // The image the interface made for the view, deleted with it.
    std::unique_ptr<CZXS_ClippedImage>& HeldImage() { return m_heldImage; }
    // The attached image as a device context; none without an image.
    const ZXS_DeviceContext* ImageDC() const { return m_image != nullptr ? &m_dc : nullptr; }
    void SetUpdateRect(const ZXS_ScreenRect& rect);
    const ZXS_ScreenRect& UpdateRect() const { return m_update; }
    const ZXS_MapRect& VisibleRect() const { return m_visible; }
    void ResetLists();

    // One frame: 1 when it ran to its end or was cancelled, 0 with the error
    // stored. Ends with the render state 2. `plainLines` draws this frame's
    // lines without antialiasing, switched only while the frame holds the
    // view, so that a frame running on the render thread is not changed under it.
    int Render(bool quick, bool plainLines = false);
    void AckRender();

    // Render protocol shared with the render queue.
    std::atomic<int32_t>& State() { return m_state; }
    bool IsBusy() const { return m_busy.load() != 0; }
    // The busy flag: taken by one frame at a time, released only by its taker.
    bool TryBeginFrame();
    void EndFrame() { m_busy.store(0); }
    void SetCancel(bool on) { m_cancel.store(on ? 1 : 0); }
    bool CancelRequested() const { return m_cancel.load() != 0; }
    bool IsDirty() const { return m_dirty; }

    void SetNotify(NotifyFunction function, void* user);
    void Notify();
    void DocumentChanged() override { Notify(); }
    // Stops the view's frame and leaves the map: later frames fail for want of a document.
    void DocumentClosing() override;

    // The view's router, made on first use. The route lock is held while the
    // route, the route flags or the route pen change, and while a frame copies them.
    CZXS_Router* Router() const { return m_router.get(); }
    int CreateRouter();
    void DeleteRouter();
    // Draws the route over the image: in a frame, or for the interface between
    // frames while it holds the busy flag. Needs an image.
    void DrawRoute();
    std::mutex& RouteLock() { return m_routeLock; }
    uint8_t& RouteFlags() { return m_routeFlags; }
    struct RoutePen {
        uint16_t outer = 0, centre = 0, outerCopy = 0, markedCentre = 0;
        uint16_t outerWidth = 0, centreWidth = 0, markedOuterWidth = 0, markedCentreWidth = 0;
    };
    RoutePen& GetRoutePen() { return m_routePen; }

    void SetPassageOverlay(bool on) { m_passageOverlay = on; }
    void SetNameVariants(int32_t name, int32_t shortName)
    {
        m_nameVariant = name;
        m_shortVariant = shortName;
    }

    // Highlights the object (and, when named, the objects of its layer with its
    // name) in the colour 0x00BBGGRR: 1 done, 0 no layer or record.
    int DrawObject(int32_t object, uint32_t colour);

    // Label occupancy (also used by the interface's excluded rectangles).
    int Occupy(const Stroke& stroke, bool icon, double halfWidth);
    int OccupyBox(ZXS_ScreenPoint p1, ZXS_ScreenPoint p2, double halfWidth, bool icon = false);
    bool IsFree(double cx, double cy, double hx, double hy) const;
    const std::vector<Stroke>& Strokes() const { return m_strokes; }
    const std::vector<Group>& Groups() const { return m_groups; }
    bool Failed() const { return m_failed; }

    // One character of a label as a frame placed it: the box it stands in
    // (centre, reading direction, half its advance along that direction and
    // half the label's height across it).
    struct GlyphBox {
        double cx, cy, ux, uy, halfLength, halfHeight;
    };
    enum class LabelKind : uint8_t { kStreet, kPoint, kArea };
    struct PlacedGlyph {
        int32_t label; // the labels of a frame are numbered from 0 in the order they are placed
        LabelKind kind;
        uint8_t code; // in the map's code page
        double cx, cy;
        double ux, uy;
        double halfLength, halfHeight;
    };
    // Frames write the glyphs they place into `glyphs`, emptied at each frame's
    // start (none: nothing is written, the default).
    void RecordGlyphs(std::vector<PlacedGlyph>* glyphs) { m_glyphRecord = glyphs; }

    // Counts of the last frame, for tests and tools.
    struct FrameCounts {
        int32_t objects = 0;
        int32_t labels = 0;
        int32_t arrows = 0;
        int32_t pois = 0;
        int32_t chains = 0; // label chains of named lines
        int32_t symbols = 0; // passage direction markers
        int32_t candidates = 0; // area and point label candidates
    };
    const FrameCounts& Counts() const { return m_counts; }

private:
    struct SymbolRecord {
        int32_t x, y;
        uint8_t symbol, colour;
    };
    struct Chain {
        uint32_t first;
        uint16_t count;
        uint8_t group;
        int32_t name;
    };
    struct AreaLabel {
        int32_t cx, cy, halfWidth, halfHeight;
        int32_t name;
        uint8_t group;
    };
    struct PointLabel {
        ZXS_ScreenPoint anchors[4]; // left, right, top, bottom
        int32_t name;
        uint8_t group;
    };
    struct PointObject {
        int32_t x, y, halfWidth, halfHeight;
        int32_t name; // ZXS_NO_OBJECT: none
        uint8_t group;
    };

    // A frame in its steps: the layers' objects, the overlays over them (route,
    // point icons, POIs, passage markers), then the labels. Each step answers
    // false when the frame must end, with `result` saying how.
    struct PassageWalk;
    int RenderFrame(bool quick);
    bool DrawLayer(CZXS_ObjectCursor& cursor, int32_t layer, bool quick, PassageWalk& passages, int& result);
    bool DrawOverlays(bool quick, int& result);
    void DrawLabels(int& result);
    // 1 to go on; 0 when the frame must end (`result` then says how).
    bool StopCheck(int& result) const;

    // Object drawing.
    void SetPen(uint16_t outer, uint16_t centre, int32_t outerWidth, int32_t centreWidth, uint32_t outerDash,
        uint32_t centreDash);
    void DrawPolyline(int32_t name, const CZXS_StyleRecord& style, uint8_t directions, uint8_t passage,
        uint8_t costClass, bool quick);
    void DrawPolygon(int32_t name, const CZXS_StyleRecord& style, bool quick);
    void DrawPointSymbol(int32_t name, const CZXS_LayerDesc& layer);
    void DrawPointObjectIcons(int& result);
    void DrawPoiSymbols(int& result);
    void AddToChain(int32_t name, uint8_t group, ZXS_ScreenPoint a, ZXS_ScreenPoint b);
    void AddSymbol(ZXS_ScreenPoint at, int32_t octant, uint8_t colour);

    // Label placement.
    void OccupyBorders();
    bool SetLabelFont(int32_t h);
    std::string LabelText(int32_t name, int32_t variant) const;
    double BlockedInterval(
        const Stroke& s, double a, const Stroke& t, double b, double& from, double& to) const;
    // The parts of s (half width a) that placed strokes block, each longer
    // than `minLength`; icons count unless `labelsOnly`.
    std::vector<Interval> BlockedAlong(const Stroke& s, double a, bool labelsOnly, double minLength) const;
    // A street's name along its line, in steps: the free stretches of the line
    // once what is placed is cut away; the text that fits; the place along a
    // stretch where the glyphs follow the line best, read left to right; then
    // the glyphs one by one along it.
    int DrawChainLabel(const Chain& chain, const CZXS_StyleRecord& style);
    bool ChainText(int32_t name, int32_t height, double room, std::string& text, double& width);
    // True when the box touches nothing placed (labels only unless `icons`).
    bool BoxFree(const GlyphBox& box, bool icons) const;
    void RecordGlyph(LabelKind kind, uint8_t code, const GlyphBox& box);
    // Records a horizontal text whose first glyph starts at x on the band around y.
    void RecordLine(LabelKind kind, const std::string& text, double x, double y, double halfHeight);
    // The name beside a point or small area; the first free place of those
    // that keep off the `avoid` boxes when one does, else of all. The anchor
    // used (left 0, right 1, top 2, bottom 3), -1 when none is free.
    int PlacePointLabel(const ZXS_ScreenPoint anchors[4], int32_t name, const CZXS_StyleRecord& style,
        bool cross, const GlyphBox* avoid = nullptr, size_t avoidCount = 0);
    int DrawAreaLabel(const AreaLabel& label, const CZXS_StyleRecord& style);
    void DrawTextAt(const std::string& text, double x, double y, double ux, double uy, int32_t chars);
    static Stroke MakeStroke(double x1, double y1, double x2, double y2, double halfWidth);
    Group BoxOf(uint32_t first, uint32_t count, double halfWidth, bool icon) const;

    CZXS_TzxDoc* m_doc;
    const CZXS_StyleTable* m_styles;
    CZX_Font m_font;
    bool m_hasFonts = false;
    const CZXS_PoiStore* m_pois = nullptr;
    const CZXS_SymbolSet* m_icons = nullptr;
    CZXS_ClippedImage* m_image = nullptr;
    std::unique_ptr<CZXS_ClippedImage> m_heldImage;
    ZXS_DeviceContext m_dc;
    ZXS_ScreenRect m_update;
    ZXS_MapRect m_visible;

    std::vector<SymbolRecord> m_symbols;
    std::vector<Chain> m_chains;
    std::vector<ZXS_ScreenPoint> m_chainPoints;
    std::vector<AreaLabel> m_areaLabels;
    std::vector<PointLabel> m_pointLabels;
    std::vector<PointObject> m_pointObjects;
    std::vector<const PointObject*> m_labelOrder;
    std::vector<GlyphBox> m_firstChoices;
    std::vector<Stroke> m_strokes;
    std::vector<Group> m_groups;
    CZXS_PointCollector m_points;
    std::vector<ZXS_ScreenPoint> m_screen;
    std::vector<int16_t> m_partLengths;

    bool m_failed = false;
    int32_t m_nameVariant = 0;
    int32_t m_shortVariant = 1;
    NotifyFunction m_notify = nullptr;
    void* m_notifyUser = nullptr;
    std::mutex m_notifyLock;

    std::atomic<uint8_t> m_busy { 0 };
    std::atomic<uint8_t> m_cancel { 0 };
    std::atomic<int32_t> m_state { kIdle };
    bool m_dirty = true;
    bool m_passageOverlay = true;
    uint8_t m_routeFlags = 0;
    RoutePen m_routePen;
    std::unique_ptr<CZXS_Router> m_router;
    std::mutex m_routeLock;
    uint32_t m_frameStart = 0;
    FrameCounts m_counts;
    std::vector<PlacedGlyph>* m_glyphRecord = nullptr;
    int32_t m_labelNumber = 0;
    float m_styleFactor = 0;
};
