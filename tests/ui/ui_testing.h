#pragma once
// Helpers for the interface tests: an emulated screen for the test's span, the
// language, scripted message boxes, and screenshots of what a test opened.
#include "foundation/language.h"
#include "foundation/screen_metrics.h"
#include "platform/message_box.h"
#include "platform/options.h"
#include "tests/support/screenshot.h"

#include <QCoreApplication>
#include <QDir>
#include <QString>
#include <QWidget>
#include <vector>

namespace uitest {

class OnScreen {
public:
    OnScreen(int w, int h, int dpi = 96, int language = LANGUAGE_RUSSIAN)
        : m_saved(platform::options())
        , m_language(g_language)
    {
        platform::Options o = m_saved;
        o.screen = QSize(w, h);
        o.dpi = dpi;
        platform::setOptions(o);
        ResetScreenMetrics();
        g_language = language;
    }
    ~OnScreen()
    {
        platform::setOptions(m_saved);
        ResetScreenMetrics();
        g_language = m_language;
    }
    OnScreen(const OnScreen&) = delete;
    OnScreen& operator=(const OnScreen&) = delete;

private:
    platform::Options m_saved;
    int m_language;
};

// Answers every message box with `answer` and keeps the requests.
class ScriptedMessageBoxes {
public:
    explicit ScriptedMessageBoxes(int answer = platform::IDOK)
    {
        platform::SetMessageBoxAnswerer([this, answer](const platform::MessageBoxRequest& r) {
            requests.push_back(r);
            return answer;
        });
    }
    ~ScriptedMessageBoxes() { platform::SetMessageBoxAnswerer({}); }
    ScriptedMessageBoxes(const ScriptedMessageBoxes&) = delete;
    ScriptedMessageBoxes& operator=(const ScriptedMessageBoxes&) = delete;

    std::vector<platform::MessageBoxRequest> requests;
};

inline void ProcessEvents()
{
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
}

using testing_support::SaveScreenshot;

} // namespace uitest
