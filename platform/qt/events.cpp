// events.cpp — handing control to the window system, and the menu bar.
#include "platform/qt/internal.h"

#include <QAction>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QTimer>


using namespace platform_internal;

void ProcessEvents() {
    FlushDirty(false);
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    // A hand-written loop gets no deferred deletes unless it asks for them.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void WaitForEvents() {
    FlushDirty(true);
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void WaitEventsUntil(int64_t deadlineNs) {
    int64_t now = SteadyNanoseconds();
    if (now >= deadlineNs) {
        ProcessEvents();
        return;
    }
    // What the last pass drew goes to the screen now, while the loop idles.
    FlushDirty(true);
    // One precise single-shot timer wakes the wait at the deadline; input
    // wakes it earlier and is handled at once.
    static QPointer<QTimer> wake;  // goes with the application
    static bool rang = false;
    if (wake == nullptr) {
        wake = new QTimer(QCoreApplication::instance());
        wake->setSingleShot(true);
        wake->setTimerType(Qt::PreciseTimer);
        QObject::connect(wake, &QTimer::timeout, [] { rang = true; });
    }
    rang = false;
    wake->start(static_cast<int>((deadlineNs - now + 999'999) / 1'000'000));
    while (!rang && SteadyNanoseconds() < deadlineNs) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    wake->stop();
}

void InstallMenuBar(const std::vector<std::string>& entries, MenuHandler handler) {
    auto* main = dynamic_cast<QMainWindow*>(Q().windows[0].top);
    if (main == nullptr) return;
    S().onMenu = handler;
    QMenuBar* bar = main->menuBar();
    bar->clear();
    Q().menuBar = bar;
    std::size_t i = 0;
    while (i < entries.size() && !entries[i].empty()) {
        QMenu* menu = bar->addMenu(QString::fromStdString(entries[i]));
        ++i;
        for (; i < entries.size() && !entries[i].empty(); ++i) {
            QAction* action = menu->addAction(QString::fromStdString(entries[i]));
            auto item = static_cast<int32_t>(i);
            QObject::connect(action, &QAction::triggered, action, [item] {
                int32_t chosen = item;
                if (S().onMenu != nullptr) S().onMenu(chosen);
            });
        }
        ++i;  // the empty entry that closes this menu
    }
}

int MouseButtons() {
    return static_cast<int>(QGuiApplication::mouseButtons().toInt());
}
