// events.cpp — handing control to the window system, and the menu bar.
#include "platform/qt/internal.h"

#include <QAction>
#include <QCoreApplication>
#include <QFontInfo>
#include <QGuiApplication>
#include <QKeySequence>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QProxyStyle>
#include <QVBoxLayout>
#include <QTimer>

#include <algorithm>
#include <climits>

using namespace platform_internal;

// ---------------------------------------------------------------------------
// Events

void backend::PumpEvents() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    // A hand-written loop gets no deferred deletes unless it asks for them.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void backend::AwaitEvents() {
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void backend::AwaitEventsUntil(int64_t deadlineNs) {
    const int64_t now = SteadyNanoseconds();
    // One precise single-shot timer wakes the wait at the deadline; input
    // wakes it earlier and is handled at once.
    QtState& q = Q();
    if (q.wake == nullptr) {
        q.wake = new QTimer(QCoreApplication::instance());
        q.wake->setSingleShot(true);
        q.wake->setTimerType(Qt::PreciseTimer);
        QObject::connect(q.wake, &QTimer::timeout, [] { Q().rang = true; });
    }
    q.rang = false;
    // The deadline may have passed while the last pass went to the screen:
    // then the timer rings at once (Qt refuses a negative wait with a warning).
    q.wake->start(static_cast<int>(std::clamp<int64_t>((deadlineNs - now + 999'999) / 1'000'000, 0, INT_MAX)));
    while (!q.rang && SteadyNanoseconds() < deadlineNs) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    q.wake->stop();
}

namespace {

// The rows after the first take no part in Alt's reaching the menu bar: it
// goes to the first row only, as with a single bar.
class LaterRowStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* data) const override {
        if (hint == QStyle::SH_MenuBar_AltKeyNavigation) return 0;
        return QProxyStyle::styleHint(hint, option, widget, data);
    }
};

// Window 0's menu widget, made once: the first row is the menu bar proper.
void MakeMenuRows(QMainWindow* main) {
    QtState& q = Q();
    if (q.menuRows != nullptr) return;
    q.menuRows = new QWidget(main);
    auto* layout = new QVBoxLayout(q.menuRows);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    q.menuBar = new QMenuBar(q.menuRows);
    q.rows = {q.menuBar};
    layout->addWidget(q.menuBar);
    main->setMenuWidget(q.menuRows);
    // Shown now, not when the event loop next runs, so that the rows' height
    // is known at once.
    q.menuRows->show();
}

QMenuBar* AddRow() {
    QtState& q = Q();
    auto* row = new QMenuBar(q.menuRows);
    auto* style = new LaterRowStyle();
    style->setParent(row);
    row->setStyle(style);
    row->setEnabled(q.menuBar->isEnabled());
    // Below the rows before it, above the status line's row.
    static_cast<QVBoxLayout*>(q.menuRows->layout())->insertWidget(static_cast<int>(q.rows.size()), row);
    q.rows.push_back(row);
    return row;
}

// How wide a row must be for its titles.
int TitlesWidth(QMenuBar* row) {
    const QList<QAction*> actions = row->actions();
    if (actions.isEmpty()) return 0;
    const QStyle* style = row->style();
    const int frame = style->pixelMetric(QStyle::PM_MenuBarPanelWidth, nullptr, row);
    const int margin = style->pixelMetric(QStyle::PM_MenuBarHMargin, nullptr, row);
    // The bar lays out every title, those it cannot show too.
    return row->actionGeometry(actions.last()).right() + 1 + frame + margin;
}

// The smallest letters of the status line, logical pixels.
constexpr int MinStatusPixels = 9;

int StatusWidth(const std::string& text) {
    const QLabel* label = Q().status;
    const QMargins m = label->contentsMargins();
    return label->fontMetrics().horizontalAdvance(QString::fromStdString(text)) + m.left() + m.right() + 4;
}

bool ShowsFull() {
    return Q().statusPlace == StatusPlace::BarFull || Q().statusPlace == StatusPlace::RowFull;
}

void ShowStatus() {
    QtState& q = Q();
    if (q.status == nullptr) return;
    const QString shown = QString::fromStdString(ShowsFull() ? q.statusText : q.statusShort);
    const bool onBar = q.statusPlace == StatusPlace::BarFull || q.statusPlace == StatusPlace::BarShort;
    for (QLabel* label : {q.status, q.statusRow}) {
        const bool visible = (label == q.status) == onBar;
        if (visible && label->text() != shown) label->setText(shown);
        label->setVisible(visible);
    }
}

// The menu bar places its corner by the corner's size hint: as wide as the
// widest line the label will hold, so that a longer line is not cut.
class StatusLabel : public QLabel {
public:
    using QLabel::QLabel;
    QSize sizeHint() const override {
        const QSize hint = QLabel::sizeHint();
        return QSize(std::max(hint.width(), minimumWidth()), hint.height());
    }
};

// The status line's two labels: one at the end of the bar's first row, one
// on a row of its own.
void MakeStatusLabels() {
    QtState& q = Q();
    if (q.status != nullptr || q.menuBar == nullptr) return;
    for (QLabel** label : {&q.status, &q.statusRow}) {
        *label = new StatusLabel(q.menuRows);
        (*label)->setContentsMargins(8, 0, 12, 0);
        (*label)->setTextFormat(Qt::PlainText);
        (*label)->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        // Text the program adds to the bar is never smaller than 9 pixels.
        QFont font = (*label)->font();
        if (QFontInfo(font).pixelSize() < MinStatusPixels) {
            font.setPixelSize(MinStatusPixels);
            (*label)->setFont(font);
        }
    }
    q.statusRow->setWordWrap(true);
    q.menuBar->setCornerWidget(q.status, Qt::TopRightCorner);
    q.menuRows->layout()->addWidget(q.statusRow);
    q.statusRow->hide();
}

// A command's key as Qt names it; empty for none.
QKeySequence KeyOf(const CommandKey& key) {
    Qt::Key qt = Qt::Key_unknown;
    switch (key.Name) {
        case KeyName::None: return {};
        case KeyName::Space: qt = Qt::Key_Space; break;
        case KeyName::Left: qt = Qt::Key_Left; break;
        case KeyName::Right: qt = Qt::Key_Right; break;
        case KeyName::PageUp: qt = Qt::Key_PageUp; break;
        case KeyName::PageDown: qt = Qt::Key_PageDown; break;
        case KeyName::Letter:
            if (key.Letter < 'A' || key.Letter > 'Z') return {};
            qt = static_cast<Qt::Key>(Qt::Key_A + (key.Letter - 'A'));
            break;
    }
    return QKeySequence(QKeyCombination(key.Ctrl ? Qt::ControlModifier : Qt::NoModifier, qt));
}

// Takes the menus of commands out of the rows and away.
void RemoveCommandMenus() {
    QtState& q = Q();
    for (QMenu* menu : q.commandMenus) {
        for (QMenuBar* row : q.rows) row->removeAction(menu->menuAction());
        q.menus.erase(std::find(q.menus.begin(), q.menus.end(), menu));
        delete menu;
    }
    q.commandMenus.clear();
    q.commands.clear();
    q.commandKeys.clear();
}

}  // namespace

namespace platform_internal {

void ArrangeMenuRows() {
    QtState& q = Q();
    if (q.menuBar == nullptr || q.menus.empty()) return;
    // Moving titles lays the rows out anew, which asks for this again.
    if (q.arranging) return;
    q.arranging = true;
    const int width = q.menuRows->parentWidget()->width();
    // Every title in the first row, then the last ones on to the next rows
    // until each row holds what it shows.
    std::vector<std::vector<QMenu*>> wanted(1);
    for (QMenu* menu : q.menus) wanted.back().push_back(menu);
    for (std::size_t r = 0; r < wanted.size(); ++r) {
        QMenuBar* row = r < q.rows.size() ? q.rows[r] : AddRow();
        row->clear();
        for (QMenu* menu : wanted[r]) row->addMenu(menu);
        while (row->actions().size() > 1 && TitlesWidth(row) > width) {
            if (r + 1 == wanted.size()) wanted.emplace_back();
            QMenu* last = wanted[r].back();
            wanted[r].pop_back();
            wanted[r + 1].insert(wanted[r + 1].begin(), last);
            row->removeAction(last->menuAction());
        }
    }
    for (std::size_t r = 0; r < q.rows.size(); ++r) {
        if (r >= wanted.size()) q.rows[r]->clear();
        q.rows[r]->setVisible(r < wanted.size());
    }
    // The status line gives way to the titles, onto a row of its own; there
    // the short line wraps where even it is wider than the window, the row
    // as high as the widest short line needs, so that the bar keeps its
    // height as the text changes.
    if (q.status != nullptr) {
        const int free = width - TitlesWidth(q.menuBar);
        if (wanted.size() == 1 && StatusWidth(q.widest) <= free)
            q.statusPlace = StatusPlace::BarFull;
        else if (wanted.size() == 1 && StatusWidth(q.widestShort) <= free)
            q.statusPlace = StatusPlace::BarShort;
        else if (StatusWidth(q.widest) <= width)
            q.statusPlace = StatusPlace::RowFull;
        else
            q.statusPlace = StatusPlace::RowShort;
        // The bar sizes its corner only when it lays itself out: wide enough
        // from the start for the widest line it will hold.
        const std::string& widest = ShowsFull() ? q.widest : q.widestShort;
        const int corner = StatusWidth(widest);
        if (q.status->minimumWidth() != corner) {
            q.status->setMinimumWidth(corner);
            q.menuBar->setCornerWidget(q.status, Qt::TopRightCorner);
        }
        const QMargins m = q.statusRow->contentsMargins();
        const int lines = q.statusRow->fontMetrics()
                              .boundingRect(QRect(0, 0, std::max(1, width - m.left() - m.right()), 1 << 20),
                                            Qt::TextWordWrap, QString::fromStdString(widest))
                              .height();
        q.statusRow->setMinimumHeight(lines + m.top() + m.bottom());
        ShowStatus();
    }
    // Window 0's canvas moves below the rows now, not when events next go round.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    if (QLayout* layout = q.menuRows->parentWidget()->layout()) layout->activate();
    q.arranging = false;
}

}  // namespace platform_internal

void backend::ShowMenuBar(const std::vector<std::string>& entries) {
    auto* main = dynamic_cast<QMainWindow*>(Q().windows[0].top);
    if (main == nullptr) return;
    MakeMenuRows(main);
    QtState& q = Q();
    RemoveCommandMenus();
    for (QMenuBar* row : q.rows) row->clear();
    for (QMenu* menu : q.menus) delete menu;
    q.menus.clear();
    std::size_t i = 0;
    while (i < entries.size() && !entries[i].empty()) {
        auto* menu = new QMenu(QString::fromStdString(entries[i]), q.menuRows);
        q.menus.push_back(menu);
        ++i;
        for (; i < entries.size() && !entries[i].empty(); ++i) {
            QAction* action = menu->addAction(QString::fromStdString(entries[i]));
            auto item = static_cast<int32_t>(i);
            QObject::connect(action, &QAction::triggered, action, [item] { core::ChooseMenuItem(item); });
        }
        ++i;  // the empty entry that closes this menu
    }
    ArrangeMenuRows();
}

void backend::ShowCommandMenus(const std::vector<CommandMenu>& menus) {
    QtState& q = Q();
    if (q.menuBar == nullptr) return;
    RemoveCommandMenus();
    for (const CommandMenu& m : menus) {
        auto* menu = new QMenu(QString::fromStdString(m.Title), q.menuRows);
        q.commandMenus.push_back(menu);
        q.menus.push_back(menu);
        for (const CommandItem& item : m.Items) {
            // The text after the tab is what the menu shows for the key, in
            // the program's language rather than the toolkit's. The keys are
            // not the actions' shortcuts, which would take the arrows from
            // the menu bar while it is worked by keyboard: a window that gets
            // one hands it over (ChooseCommandByKey).
            QAction* action = menu->addAction(
                QString::fromStdString(item.KeyLabel.empty() ? item.Text : item.Text + "\t" + item.KeyLabel));
            action->setEnabled(q.menuBar->isEnabled());
            const int position = static_cast<int>(q.commands.size());
            q.commands.push_back(action);
            q.commandKeys.push_back(KeyOf(item.Key));
            // A checkable item's mark is the program's to set: the toggle
            // Qt gave it on the way is taken back before the choice goes on.
            QObject::connect(action, &QAction::triggered, action, [action, position](bool checked) {
                if (action->isCheckable()) action->setChecked(!checked);
                core::ChooseCommand(position);
            });
        }
    }
    ArrangeMenuRows();
}

void SetCommandChecked(int position, bool checked) {
    const QtState& q = Q();
    if (position < 0 || position >= static_cast<int>(q.commands.size())) return;
    q.commands[position]->setCheckable(true);
    q.commands[position]->setChecked(checked);
}

void backend::SetMenuBarEnabled(bool enabled) {
    for (QMenuBar* row : Q().rows) row->setEnabled(enabled);
    // The commands' keys go with the menu bar: a line being typed takes them.
    for (QAction* action : Q().commands) action->setEnabled(enabled);
}

void SetStatusRoom(const std::string& widestText, const std::string& widestShortText) {
    QtState& q = Q();
    MakeStatusLabels();
    q.widest = widestText;
    q.widestShort = widestShortText;
    ArrangeMenuRows();
}

void SetStatusText(const std::string& text, const std::string& shortText) {
    QtState& q = Q();
    if (q.menuBar == nullptr) return;
    if (q.status == nullptr) SetStatusRoom(text, shortText);
    q.statusText = text;
    q.statusShort = shortText;
    ShowStatus();
}

// ---------------------------------------------------------------------------
// Text cursor and keyboard

int MouseButtons() {
    return static_cast<int>(QGuiApplication::mouseButtons().toInt());
}
