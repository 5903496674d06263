#pragma once
// The base of everything drawn over the map: a rectangle with a position, a
// size, a visibility state, a translucency and the draw tool it draws on. The
// map window's pointer dispatch and the draw thread rely only on these
// operations; a pointer operation returns non-zero when it consumed the event.
#include <atomic>
#include <cstdint>

class CDrawTool;

struct ElementPoint {
    int32_t x = 0;
    int32_t y = 0;
    bool operator==(const ElementPoint&) const = default;
};

struct ElementSize {
    int32_t cx = 0;
    int32_t cy = 0;
    bool operator==(const ElementSize&) const = default;
};

class CElementShape {
public:
    virtual ~CElementShape() = default;
    virtual void GetSize(ElementSize& size) const = 0;
    virtual void SetSize(const ElementSize& size) = 0;
    virtual void SetPosition(const ElementPoint& point) = 0;
    virtual void GetPosition(ElementPoint& point) const = 0;
    virtual void SetAlpha(unsigned alpha) = 0;
    virtual uint8_t GetAlpha() const = 0;
    virtual void SetState(int state) = 0;
    virtual int GetState() const = 0;
};

class CElementControl : public CElementShape {
public:
    virtual int OnPointerDown(const ElementPoint& point) = 0;
    virtual int OnPointerUp(const ElementPoint& point) = 0;
    virtual int OnPointerMove(const ElementPoint& point) = 0;
    virtual int OnDoubleClick(const ElementPoint& point) = 0;
    virtual void Draw() = 0;
};

class CScreenElement : public CElementControl {
public:
    enum : int { STATE_HIDDEN = 0, STATE_SHOWN = 1 };

    CScreenElement() = default;
    CScreenElement(const CScreenElement& other);
    CScreenElement& operator=(const CScreenElement& other);

    void GetSize(ElementSize& size) const override;
    void SetSize(const ElementSize& size) override;
    void SetPosition(const ElementPoint& point) override;
    void GetPosition(ElementPoint& point) const override;
    void SetAlpha(unsigned alpha) override;
    uint8_t GetAlpha() const override { return m_alpha; }
    void SetState(int state) override { m_state = state; }
    int GetState() const override { return m_state.load(); }
    int OnPointerDown(const ElementPoint&) override { return 0; }
    int OnPointerUp(const ElementPoint&) override { return 0; }
    int OnPointerMove(const ElementPoint&) override { return 0; }
    int OnDoubleClick(const ElementPoint&) override { return 0; }
    void Draw() override { }
    // Copies position, state and surface; size and alpha stay.
    virtual void Assign(const CScreenElement& other);
    // Returns 0 and keeps the old surface when none is given.
    virtual int SetSurface(CDrawTool* surface);

    CDrawTool* GetSurface() const { return m_surface; }

    // The half-open rectangle x <= px < x + width, y <= py < y + height.
    bool Contains(const ElementPoint& point) const;

protected:
    int32_t m_x = 0;
    int32_t m_y = 0;
    // Read by the draw thread while the interface thread shows and hides.
    std::atomic<int32_t> m_state { STATE_SHOWN };
    int32_t m_width = 0;
    int32_t m_height = 0;
    CDrawTool* m_surface = nullptr;
    uint8_t m_alpha = 255;
};
