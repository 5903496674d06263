#pragma once
// A full-screen grid of large owner-drawn buttons, each with an animated
// picture, a bold caption and a smaller description; the dialog ends with the
// command id of the button chosen, or 2 when cancelled. The quick menu is its user.
#include "ui/raw_dialog.h"

#include <QAbstractButton>
#include <QFont>
#include <QImage>
#include <QPointer>
#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

enum : uint32_t { IDD_BUTTON_GRID = 844 };
// The command of a cell that cannot end the dialog.
constexpr int32_t kInertCommand = 0xFFFF;

// A button of the grid: drawn by its dialog, its keys passed on to the dialog.
class CKnButton : public QAbstractButton {
public:
    CKnButton(CRawDialog& dialog, int id, uint32_t userData, QWidget* parent);
    int GetDlgCtrlID() const { return m_id; }
    uint32_t GetUserData() const { return m_userData; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    CRawDialog& m_dialog;
    const int m_id;
    const uint32_t m_userData; // (row << 16) | column
};

struct CGridCell {
    QPointer<CKnButton> button;
    int32_t command = kInertCommand;
    uint8_t frame = 0;
    uint8_t frameCount = 0;
    uint8_t flags = 0; // bit 0 and 1: how the picture animates
    // The pictures' image ids; their bitmaps are asked of the picture source
    // when drawn, so none is held after the source released its cache.
    std::vector<uint32_t> pictures;
    QString caption;
    QString description;
};

// Where the grid's pictures come from when not from the program's draw tool
// (its bitmaps of stored images by id, kept in its cache until released).
struct GridPictureSource {
    std::function<const QImage*(uint32_t id)> create;
    std::function<void()> releaseAll;
};

class CButtonGridDlg : public CRawDialog {
public:
    // A grid of a x b in landscape, b x a otherwise.
    CButtonGridDlg(int a, int b);
    ~CButtonGridDlg() override;

    // Another source of pictures; an empty one restores the draw tool.
    static void SetPictureSource(GridPictureSource source);

    int GetColumns() const { return m_columns; }
    int GetRows() const { return m_rows; }
    const CGridCell& GetCell(int column, int row) const;
    CKnButton* GetButton(int column, int row) const;
    // The button that has the focus, or nullptr.
    CKnButton* GetFocusButton() const;

    void ResizeGrid(int columns, int rows);
    void SetCell(int column, int row, int32_t command, const QString& caption, const QString& description);
    void SetCellEx(int column, int row, int32_t command, const QString& caption, const QString& description,
        uint8_t flags, int imageStep, int frameCount);
    // The cell of `index` counted row by row.
    void SetCellByIndex(int index, int32_t command, const QString& caption, const QString& description,
        uint8_t flags, int imageStep, int frameCount);

    platform::LRESULT HandleMessage(
        uint32_t message, platform::WPARAM wParam, platform::LPARAM lParam) override;
    platform::LRESULT OnCommand(platform::WPARAM wParam, platform::LPARAM lParam) override;
    platform::LRESULT OnInitDialog(platform::WPARAM wParam, platform::LPARAM lParam) override;
    platform::LRESULT OnDestroy() override;
    platform::LRESULT OnDrawItem(platform::WPARAM wParam, const DRAWITEMSTRUCT* item) override;
    platform::LRESULT OnKeyDown(int key, platform::LPARAM lParam) override;
    platform::LRESULT OnKeyUp(int key, platform::LPARAM lParam) override;

private:
    // The bitmap of a cell's frame, or nullptr when it has none.
    static const QImage* Picture(const CGridCell& cell, int frame);
    CGridCell* CellAt(int column, int row);
    // The cell of a button's user data, or nullptr outside the grid.
    CGridCell* CellOf(const CKnButton* button);
    void Animate();

    uint16_t m_columns = 0;
    uint16_t m_rows = 0;
    std::vector<CGridCell> m_cells; // column by column: entry = column * rows + row
    QFont m_captionFont;
    QFont m_descriptionFont;
};
