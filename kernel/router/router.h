#pragma once

#include <cstdint>
#include <cstring>

#include "kernel/doc/fixed_collect.h"
#include "kernel/doc/object.h"
#include "kernel/router/route_point.h"

class CZXS_TzxDoc;

// The router of a map whose road graph holds no edges: it accepts a document
// but computes nothing. The graph router derives from it.
class CZXS_Router : public CZXS_Object {
public:
    // Point kinds of AddPoint.
    static constexpr int kStart = 0;
    static constexpr int kFinish = -1;
    static constexpr int kVia = -2;
    // Result codes of AddPoint and Calculate besides the interface's own.
    static constexpr int kNotReady = 2;
    static constexpr int kNotSupported = 1;
    static constexpr int kNoRoadLayers = 60;
    static constexpr int kTooManyVias = 61;
    static constexpr int kUnreachable = 62;
    static constexpr int kNoFinishEdge = 63;
    static constexpr int kNoEdge = 64;
    static constexpr int kNoRoadNear = 65;
    static constexpr int kPathTooLong = 67;
    static constexpr int kNoMemory = 160;
    // Calculate's option for the shortest route (cost A); any other asks for the fastest (cost B).
    static constexpr int kShortest = 1;
    static constexpr int kFastest = 2;
    static constexpr int32_t kAnyName = 0x1fffff;

    CZXS_Router();
    ~CZXS_Router() override;
    CZXS_Router(const CZXS_Router&) = delete;
    CZXS_Router& operator=(const CZXS_Router&) = delete;

    const char16_t* ClassName() const override { return u"CZXS_Router"; }

    virtual bool IsReady() const { return m_doc != nullptr; }
    virtual int PrepareLeg() { return 0; }
    virtual int AddPoint(
        int kind, int32_t x, int32_t y, int32_t radius, int32_t heading, int32_t nameId, int useJournal);
    virtual int Calculate(int option);
    // Takes the document of the view the router serves; 0 without one.
    virtual int Attach(CZXS_TzxDoc* doc);
    virtual void Detach();
    virtual void Clear() { }

    CZXS_TzxDoc* Document() const { return m_doc; }
    uint32_t PointCount() const { return m_result.Count(); }
    // False past the end.
    bool PointAt(uint32_t index, CZXS_RoutePoint& point) const;

protected:
    // Point `index` (below PointCount()) read straight from the result's
    // records, for walks over a whole route.
    CZXS_RoutePoint ResultPoint(uint32_t index) const
    {
        CZXS_RoutePoint point;
        std::memcpy(&point, m_result.Data() + size_t { index } * sizeof point, sizeof point);
        return point;
    }
    bool AppendPoint(const CZXS_RoutePoint& point);
    void ReplacePoint(uint32_t index, const CZXS_RoutePoint& point);
    void RemoveLastPoint();
    void EmptyResult();

    CZXS_TzxDoc* m_doc = nullptr;
    CFixedCollect m_result { sizeof(CZXS_RoutePoint) };
};
