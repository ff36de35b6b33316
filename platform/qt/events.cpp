// events.cpp — handing control to the window system, and the menu bar.
#include "platform/qt/internal.h"

#include <QAction>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeySequence>
#include <QLabel>
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

void InstallCommandMenu(const std::string& title, const std::vector<CommandItem>& items, CommandHandler handler) {
    QMenuBar* bar = Q().menuBar;
    if (bar == nullptr) return;
    static CommandHandler onCommand = nullptr;
    onCommand = handler;
    if (Q().commandMenu != nullptr) {
        bar->removeAction(Q().commandMenu->menuAction());
        delete Q().commandMenu;
    }
    QMenu* menu = bar->addMenu(QString::fromStdString(title));
    Q().commandMenu = menu;
    Q().commandKeys.clear();
    for (std::size_t i = 0; i < items.size(); ++i) {
        // The text after the tab is what the menu shows for the key, in the
        // program's language rather than the toolkit's. The keys are not the
        // actions' shortcuts, which would take the arrows from the menu bar
        // while it is worked by keyboard: a window that gets one hands it
        // over (CommandKey).
        QAction* action = menu->addAction(QString::fromStdString(items[i].Text + "\t" + items[i].KeyLabel));
        action->setEnabled(bar->isEnabled());
        Q().commandKeys.push_back(QKeySequence(QString::fromStdString(items[i].Key)));
        const int item = static_cast<int>(i);
        QObject::connect(action, &QAction::triggered, action, [item] {
            if (onCommand != nullptr) onCommand(item);
        });
    }
}

void SetStatusText(const std::string& text) {
    QMenuBar* bar = Q().menuBar;
    if (bar == nullptr) return;
    QLabel* label = Q().status;
    if (label == nullptr) {
        label = new QLabel(bar);
        label->setContentsMargins(8, 0, 12, 0);
        label->setTextFormat(Qt::PlainText);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        // Wide enough for the longest line it will hold: the menu bar sizes
        // its corner only when it lays itself out.
        label->setMinimumWidth(label->fontMetrics().horizontalAdvance(
                                   QStringLiteral("Tag -88.888.888,888   Zeitschritt 88,888 d   angehalten")) +
                               20);
        bar->setCornerWidget(label, Qt::TopRightCorner);
        Q().status = label;
        label->show();
    }
    const QString shown = QString::fromStdString(text);
    if (label->text() != shown) label->setText(shown);
}

int MouseButtons() {
    return static_cast<int>(QGuiApplication::mouseButtons().toInt());
}
