#pragma once
// Answers a modal window a test's code is about to open: once the window is
// open and runs its own loop, `answer` gets it and acts as the user would
// (Qt's test events on its controls). Header-only.
#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace testing_support {

inline void WhenModalOpens(std::function<void(QWidget*)> answer)
{
    auto* timer = new QTimer(qApp);
    timer->setInterval(1);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, answer = std::move(answer)] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            answer(modal);
        }
    });
    timer->start();
}

} // namespace testing_support
