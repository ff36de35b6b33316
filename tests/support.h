// support.h — helpers for tests that open windows: answering boxes and
// typing into the program as a user would, without a person.
#pragma once

#include "platform/qt/internal.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QtTest>

#include <functional>

namespace test_support {

// Answers the next modal message box: records its text, then presses OK.
inline void AnswerNextBox(QString* text = nullptr, int* boxes = nullptr) {
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, text, boxes] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) return;
        timer->stop();
        timer->deleteLater();
        if (text != nullptr) *text = box->text();
        if (boxes != nullptr) ++*boxes;
        box->button(QMessageBox::Ok)->click();
    });
    timer->start();
}

// Runs an action as soon as the program next waits for input.
inline void Soon(std::function<void()> action) {
    QTimer::singleShot(0, std::move(action));
}

// Types text and keys into window n, as if the user did.
inline void TypeInto(int n, const QString& text) {
    QTest::keyClicks(platform_internal::CanvasOf(n), text);
}

inline void KeyInto(int n, Qt::Key key) {
    QTest::keyClick(platform_internal::CanvasOf(n), key);
}

// A window's pixel as a colour value 0x00BBGGRR.
inline uint32_t Pixel(int n, int x, int y) {
    return WindowPixel(n, x, y);
}

// How many pixels of a rectangle have the given colour.
inline int CountColour(int n, const QRect& r, uint32_t colour) {
    int count = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (WindowPixel(n, x, y) == colour) ++count;
    return count;
}

}  // namespace test_support
