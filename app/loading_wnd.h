#pragma once
// The loading window: while the program starts, the device screen shows a
// background picture, the version text and a progress bar. The start-up
// steps report percentages; the last, 100, comes from the draw thread's first
// frame, and the start-up waits for it in Finish before it closes the window.
//
// Any thread may report progress. The value is published at once and the
// user-interface thread repaints the bar when it gets to it: a reporting
// thread never waits for the user-interface thread.
#include <QPointer>
#include <QString>
#include <QWidget>
#include <atomic>
#include <mutex>
#include <vector>

class QEventLoop;

enum : int {
    LOADING_BACKGROUND_PORTRAIT = 856,
    LOADING_BAR_TILE = 857,
    LOADING_BACKGROUND_LANDSCAPE = 928,
    LOADING_BACKGROUND_SQUARE = 929,
};

// SetLoadingProgress results.
enum : int { LOADING_SHOWN = 0, LOADING_ABOVE_100 = 1, LOADING_BELOW_CURRENT = 2, LOADING_CLOSED = 3 };

class CLoadingWnd {
public:
    static CLoadingWnd& GetInstance();

    // Shows the window over the device screen with the version text: 0, or 2
    // when there is no screen to show it on.
    int Create(const QString& versionText);
    // Runs the user-interface thread's messages until the progress reaches
    // `target` (or the program quits). 0.
    int Finish(int target);
    // 0. Every later report answers LOADING_CLOSED.
    int Close();

    int CurrentPercent() const { return m_current.load(); }
    // Every percentage taken since Create, in order.
    std::vector<int> Reported() const;
    bool IsClosed() const { return m_closed.load(); }
    QWidget* Window() const { return m_window; }
    // The bar's rectangle at a percentage, and the strip it can grow in.
    static QRect BarRect(int percent);
    static QRect BarStrip();

private:
    friend int SetLoadingProgress(int percent);
    CLoadingWnd() = default;
    // On the user-interface thread: repaints the bar and ends a finish that has its percentage.
    void Update();

    std::atomic<int> m_current { 0 };
    std::atomic<int> m_previous { 0 };
    std::atomic<int> m_target { 0 };
    std::atomic<bool> m_closed { true };
    QPointer<QWidget> m_window;
    QEventLoop* m_finishLoop = nullptr;
    mutable std::mutex m_reportedMutex;
    std::vector<int> m_reported;
};

// Reports the start-up's progress: LOADING_SHOWN, or why not (a percentage
// above 100 or below the current one, or a closed window).
int SetLoadingProgress(int percent);
