// platform.cpp — start and end of the connection to the display, the
// screen's area, where the options come from, saving the picture and text
// files, and the message box.
#include "platform/qt/internal.h"

#include <QApplication>
#include <QBuffer>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QLabel>
#include <QLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QSaveFile>
#include <QScreen>
#include <QScrollArea>
#include <QStandardPaths>
#include <QStringList>
#include <QStyle>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <sys/stat.h>

using namespace platform_internal;

namespace {

// Is there a display that Qt's default platform can reach? Answers only what
// can be told without connecting; Qt's own message covers the rest.
bool DisplayReachable() {
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || *display == '\0') return false;
    std::string_view d(display);
    // A local display ":N" or ":N.S" has its socket in /tmp/.X11-unix.
    if (d.front() == ':') {
        std::string number(d.substr(1, d.find('.') == std::string_view::npos ? std::string_view::npos
                                                                              : d.find('.') - 1));
        struct stat info {};
        return stat(("/tmp/.X11-unix/X" + number).c_str(), &info) == 0;
    }
    return true;  // remote or unusual display names: let Qt try
}

}  // namespace

// ---------------------------------------------------------------------------
// Start and end

bool PlatformStart(int& argc, char** argv) {
    State& s = S();
    if (QCoreApplication::instance() == nullptr) {
        const char* qpa = std::getenv("QT_QPA_PLATFORM");
        if (qpa == nullptr || *qpa == '\0') {
            const char* session = std::getenv("XDG_SESSION_TYPE");
            bool wayland = std::getenv("WAYLAND_DISPLAY") != nullptr ||
                           (session != nullptr && std::string_view(session) == "wayland");
            // A Wayland session without XWayland is left to Qt's own choice.
            if (!DisplayReachable() && !(wayland && std::getenv("DISPLAY") == nullptr)) {
                std::fprintf(stderr,
                             "heliogeo needs a graphical display and found none; to try it without one, install "
                             "xvfb and xauth (apt-get install xvfb xauth) and run: "
                             "xvfb-run -s '-screen 0 1024x768x24' %s\n",
                             argc > 0 ? argv[0] : "heliogeo");
                return false;
            }
            // Native Wayland windows cannot place themselves; XWayland windows can.
            if (wayland && std::getenv("DISPLAY") != nullptr) setenv("QT_QPA_PLATFORM", "xcb", 1);
        }
        new QApplication(argc, argv);
        Q().ownsApplication = true;
    }
    QApplication::setStyle(QStringLiteral("Fusion"));
    QGuiApplication::setQuitOnLastWindowClosed(false);
    QGuiApplication::setApplicationDisplayName(QString());
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        double hz = screen->refreshRate();
        if (hz >= 20 && hz <= 500) s.frameNs = static_cast<int64_t>(1e9 / hz);
    }
    s.font = core::Font{};
    s.ending = false;
    return true;
}

void PlatformEnd() {
    State& s = S();
    s.ending = true;
    QtState& q = Q();
    for (int n = MaxWindows - 1; n >= 0; --n) {
        Widgets& w = q.windows[n];
        if (w.top != nullptr) {
            w.top->close();
            // Window 0 owns the windows opened after it through Qt's parent
            // chain; a window opened before it has no owner and goes itself.
            if (n == 0 || w.top->parentWidget() == nullptr) delete w.top;
        }
    }
    for (Widgets& w : q.windows) w = Widgets{};
    q.menuRows = nullptr;
    q.rows.clear();
    q.menus.clear();
    q.menuBar = nullptr;
    q.commandMenus.clear();
    q.commands.clear();
    q.commandKeys.clear();
    q.status = nullptr;
    q.statusRow = nullptr;
    q.statusPlace = StatusPlace::BarFull;
    q.titleBar = 0;
    core::Reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    if (q.ownsApplication) {
        delete QCoreApplication::instance();
        q.ownsApplication = false;
    }
}

// ---------------------------------------------------------------------------
// Screen

// The screen as far as the program may use it — a desktop's panels and bars
// take their part of it (the window manager publishes what is left) — in
// device pixels.
void backend::AvailableArea(int& width, int& height, double& ratio) {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        width = height = 0;
        ratio = 1;
        return;
    }
    ratio = screen->devicePixelRatio();
    const QRect area = screen->availableGeometry();
    width = static_cast<int>(std::floor(area.width() * ratio + 1e-6));
    height = static_cast<int>(std::floor(area.height() * ratio + 1e-6));
}

// ---------------------------------------------------------------------------
// Events: where the options come from, and the notice

// Options come from the command line, faults in them go to stderr.
bool OptionsFromAddress() {
    return false;
}

void ShowNotice(const std::string& text) {
    std::fprintf(stderr, "%s\n", text.c_str());
}

// The desktop has no line for a screen reader: what the program shows says it.
void Announce(const std::string&) {}

// ---------------------------------------------------------------------------
// Images: saving the picture, and a text file beside it

namespace {

// Why a file could not be written, in the user's words where the system's
// error number says it plainly, else in Qt's.
std::string WhyNotWritten(int code, const QString& qtText) {
    switch (code) {
        case ENOSPC:
        case EDQUOT: return "kein Platz auf dem Datenträger";
        case EACCES:
        case EPERM: return "keine Schreibrechte im Ordner";
        case EROFS: return "der Datenträger ist schreibgeschützt";
        default: return qtText.toStdString();
    }
}

// A file's bytes into it, and out of Qt's buffer to the system; false, with
// errno saying why, where they did not all go.
bool WriteWhole(QSaveFile& file, const QByteArray& bytes) {
    qint64 room = bytes.size();
    if (Q().pictureDisk) room = std::min(room, Q().pictureDisk(file.fileName(), room));
    errno = 0;
    const bool whole = file.write(bytes.constData(), room) == bytes.size() && file.flush();
    if (room < bytes.size()) errno = ENOSPC;  // as a full disk says
    return whole;
}

// The file's name in the folder, or the first of "name-2.png", "name-3.png" …
// that no file has.
QString FreeName(const QString& folder, const QFileInfo& name) {
    QString path = QDir(folder).filePath(name.fileName());
    const QString suffix = name.suffix().isEmpty() ? QString() : "." + name.suffix();
    for (int k = 2; QFileInfo::exists(path); ++k)
        path = QDir(folder).filePath(name.completeBaseName() + QStringLiteral("-%1").arg(k) + suffix);
    return path;
}

// Saves a file's bytes beside the pictures: into the user's picture folder
// as the desktop names it (XDG), made if it is missing; the home folder if
// there is none. Written into a file of its own beside the named one
// (QSaveFile), put in place under the name once it is whole; a file that
// fails goes without a trace. QSaveFile's last step would replace a file of
// that name, so the name is looked at once more, after everything but the
// renaming: a file that took it meanwhile (a second program saving in the
// same second) keeps it, and this one takes the next free name.
SavedAs SaveBesidePictures(const QByteArray& bytes, const std::string& fileName, std::string& where) {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (folder.isEmpty() || !QDir().mkpath(folder)) folder = QDir::homePath();
    for (int tries = 0; tries < 3; ++tries) {
        const QString path = FreeName(folder, QFileInfo(QString::fromStdString(fileName)));
        QSaveFile file(path);
        errno = 0;
        bool done = file.open(QIODevice::WriteOnly) && WriteWhole(file, bytes);
        if (done && QFileInfo::exists(path)) continue;
        if (done) {
            errno = 0;
            done = file.commit();
        }
        if (!done) {
            const int code = errno;
            where = WhyNotWritten(code, file.errorString());
            return SavedAs::Failed;
        }
        where = QDir::toNativeSeparators(path).toStdString();
        return SavedAs::File;
    }
    where = "kein freier Dateiname";
    return SavedAs::Failed;
}

}  // namespace

SavedAs SavePicture(const Image& picture, const std::string& fileName, std::string& where) {
    if (!core::PictureSavable(picture, where)) return SavedAs::Failed;
    // The PNG in memory first, so that a fault of the disk is told apart.
    const QImage image(reinterpret_cast<const uchar*>(picture.Pixels.data()), picture.Width, picture.Height,
                       static_cast<qsizetype>(picture.Width) * 4, QImage::Format_RGB32);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(image)) {
        where = writer.errorString().toStdString();
        return SavedAs::Failed;
    }
    return SaveBesidePictures(png, fileName, where);
}

// The desktop knows a file's kind by its name; the MIME type is the browser's.
SavedAs SaveTextFile(const std::string& text, const std::string& fileName, const std::string&, std::string& where) {
    return SaveBesidePictures(QByteArray::fromStdString(text), fileName, where);
}

// ---------------------------------------------------------------------------
// Message box

namespace {

// What a window manager puts round a box (its caption and border) is not
// known before the box is shown: this much of the screen is kept for it.
int FrameAllowance(const QWidget& box) {
    return 2 * box.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &box);
}

// A box too tall for the screen: its lines in a scroll area, as tall as the
// available area allows, with OK below them; Return or Escape closes it, the
// arrow and page keys scroll.
void ScrollingBox(const QString& caption, const QString& text, QWidget* parent, const QRect& area) {
    QDialog box(parent);
    box.setWindowTitle(caption);
    box.setWindowModality(Qt::ApplicationModal);
    auto* icon = new QLabel;
    const int iconSize = box.style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, &box);
    icon->setPixmap(box.style()->standardIcon(QStyle::SP_MessageBoxInformation, nullptr, &box).pixmap(iconSize));
    icon->setAlignment(Qt::AlignTop);
    auto* lines = new QLabel(text);
    lines->setObjectName(QStringLiteral("lines"));
    lines->setTextFormat(Qt::PlainText);
    lines->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    auto* scroll = new QScrollArea;
    scroll->setWidget(lines);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    const int bar = box.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, scroll);
    scroll->setMinimumWidth(std::min(lines->sizeHint().width() + bar, area.width() / 2));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &box, &QDialog::accept);
    auto* row = new QHBoxLayout;
    row->addWidget(icon);
    row->addWidget(scroll, 1);
    auto* layout = new QVBoxLayout(&box);
    layout->addLayout(row, 1);
    layout->addWidget(buttons);
    const int width = std::min(box.sizeHint().width(), area.width());
    const int height = area.height() - FrameAllowance(box);
    box.resize(width, height);
    box.move(area.left() + (area.width() - width) / 2, area.top());
    scroll->setFocus();
    box.exec();
}

}  // namespace

void MessageBoxLines(const std::vector<std::string>& lines) {
    State& s = S();
    core::FlushDirty(true);
    QStringList shown;
    for (const std::string& line : lines) shown << QString::fromStdString(line);
    QWidget* parent = s.windows[0].open ? Q().windows[0].top : nullptr;
    QString caption = QString::fromStdString(s.windows[0].caption);
    QMessageBox box(QMessageBox::Information, caption, shown.join(QLatin1Char('\n')), QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::Ok);
    box.setWindowModality(Qt::ApplicationModal);
    // A box taller than the screen has room for scrolls instead.
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect area = screen != nullptr ? screen->availableGeometry() : QRect();
    if (!area.isEmpty() && box.sizeHint().height() + FrameAllowance(box) > area.height()) {
        ScrollingBox(caption, box.text(), parent, area);
        return;
    }
    box.exec();
}
