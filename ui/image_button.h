#pragma once
// Square buttons of the bars, folders and panels. One number is both the
// picture and the meaning: an image id (below 10000), a command id
// (10000..10053) run through the command registry, or a diagram id
// (14000..14006) drawn live by the registry. The three press steps show the
// pictures id, id + 700 and id + 1400.
#include "ui/screen_element.h"

namespace platform {
class Archive;
}

enum : int {
    FIRST_COMMAND_ID = 10000,
    LAST_COMMAND_ID = 10053,
    FIRST_DIAGRAM_ID = 14000,
    LAST_DIAGRAM_ID = 14006,
    LAST_HINTED_COMMAND_ID = 10046,
    PRESS_STEP_IMAGE_OFFSET = 700,
};

inline bool IsCommandId(int id) { return id >= FIRST_COMMAND_ID && id <= LAST_COMMAND_ID; }
inline bool IsDiagramId(int id) { return id >= FIRST_DIAGRAM_ID && id <= LAST_DIAGRAM_ID; }

class CImageButton : public CScreenElement {
public:
    CImageButton();

    // Draws the picture of the current press step; the owner calls it each frame.
    virtual void DrawImage(int highlight);

    // 0 (the old id stays) for an id of 10000 or more outside the command and
    // diagram ranges; the size is reset to the button side either way.
    int SetImageId(int id);
    int GetImageId() const { return m_id; }
    CScreenElement* GetOwner() const { return m_owner; }
    int GetPressStep() const { return m_pressStep; }
    int GetPressed() const { return m_pressed; }

    int Attach(CDrawTool* surface, const ElementPoint& position, CScreenElement* owner);
    void CopyFrom(const CImageButton& other);
    // A completed press: the command with its radio-group update.
    void Execute();
    // The handler alone (the owners' double-tap path).
    void Invoke();
    // Toggle and radio commands keep the registry's state.
    void SetPressed(int value);
    // SetPressed, and the command's name in the button hint while held.
    void SetPressedWithHint(int value);
    // One frame of the press animation: the new step, or 255 for none.
    int UpdatePressStep();

    void Store(platform::Archive& archive) const;
    void Load(platform::Archive& archive);

protected:
    // The alpha the button draws with: its owner's.
    int OwnerAlpha() const { return m_owner ? m_owner->GetAlpha() : GetAlpha(); }

    int32_t m_pressed = 0;
    uint8_t m_pressStep = 0;
    CScreenElement* m_owner = nullptr;
    int32_t m_id = FIRST_COMMAND_ID;
};

// A button that draws itself when its owner draws its children with Draw.
class CStandaloneImageButton : public CImageButton {
public:
    void Draw() override { DrawImage(0); }
};
