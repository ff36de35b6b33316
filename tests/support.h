// support.h — helpers for tests that open windows: answering boxes and
// typing into the program as a user would, without a person.
#pragma once

#include "platform/qt/internal.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <functional>

namespace test_support {

// The message box now open, if any: its text and its OK button. A box too
// tall for the screen is a dialog whose lines (a label named "lines") scroll.
struct OpenBox {
    QString Text;
    QAbstractButton* Ok = nullptr;
};
inline OpenBox BoxShown() {
    QWidget* w = QApplication::activeModalWidget();
    if (auto* box = qobject_cast<QMessageBox*>(w)) return {box->text(), box->button(QMessageBox::Ok)};
    auto* lines = w != nullptr ? w->findChild<QLabel*>(QStringLiteral("lines")) : nullptr;
    auto* buttons = w != nullptr ? w->findChild<QDialogButtonBox*>() : nullptr;
    if (lines != nullptr && buttons != nullptr) return {lines->text(), buttons->button(QDialogButtonBox::Ok)};
    return {};
}

// Answers the next modal message box: records its text, then presses OK.
inline void AnswerNextBox(QString* text = nullptr, int* boxes = nullptr) {
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, text, boxes] {
        const OpenBox box = BoxShown();
        if (box.Ok == nullptr) return;
        timer->stop();
        timer->deleteLater();
        if (text != nullptr) *text = box.Text;
        if (boxes != nullptr) ++*boxes;
        box.Ok->click();
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
