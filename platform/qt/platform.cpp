// platform.cpp — start and end of the connection to the display, the
// screen's area, where the options come from, saving the picture and text
// files, and the message box.
#include "platform/qt/internal.h"

#include <QApplication>
#include <QBuffer>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QLabel>
#include <QLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QRandomGenerator>
#include <QStringList>
#include <QStyle>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iconv.h>
#include <langinfo.h>
#include <locale.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

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

// Paths are the system's bytes as they are, whatever their encoding (a home
// folder named in Latin-1 stays itself): plain POSIX calls on them; Qt's
// strings only where the tests are told a path; decoded only for the box.

namespace {

// Why a file could not be written, in German, from the system's error number.
std::string WhyNotWritten(int code) {
    switch (code) {
        case ENOSPC:
        case EDQUOT: return "kein Platz auf dem Datenträger";
        case EACCES:
        case EPERM: return "keine Schreibrechte im Ordner";
        case EROFS: return "der Datenträger ist schreibgeschützt";
        case ENAMETOOLONG: return "Dateiname zu lang";
        case ENOENT: return "der Ordner fehlt";
        case ENOTDIR: return "ein Teil des Pfades ist kein Ordner";
        case ELOOP: return "zu viele symbolische Verknüpfungen im Pfad";
        case EFBIG: return "die Datei ist zu groß für den Datenträger";
        case EMFILE:
        case ENFILE: return "zu viele offene Dateien";
        case ENOMEM: return "zu wenig Speicher";
        case EIO: return "Ein-/Ausgabefehler des Datenträgers";
        default: break;
    }
    const char* name = code != 0 ? strerrorname_np(code) : nullptr;
    return std::string("Fehler beim Schreiben") + (name != nullptr ? std::string(" (") + name + ")" : "");
}

// The user's home folder, as HOME names it; empty where there is none to save
// into (HOME unset, not an absolute path, or not a folder).
std::string HomeFolder() {
    const char* home = std::getenv("HOME");
    struct stat info {};
    if (home == nullptr || home[0] != '/' || stat(home, &info) != 0 || !S_ISDIR(info.st_mode)) return {};
    return home;
}

// The picture folder the desktop names (XDG_PICTURES_DIR in user-dirs.dirs,
// as xdg-user-dirs writes it: "$HOME/Bilder" or an absolute path; the last
// line counts, as in the shell), else "Pictures" in the home folder.
std::string PictureFolder(const std::string& home) {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    std::ifstream dirs((config != nullptr && config[0] == '/' ? std::string(config) : home + "/.config") +
                       "/user-dirs.dirs");
    constexpr std::string_view key = "XDG_PICTURES_DIR=";
    std::string folder = home + "/Pictures", line;
    while (std::getline(dirs, line)) {
        if (!line.starts_with(key)) continue;
        std::string value = line.substr(key.size());
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
        if (value.starts_with("$HOME")) value = home + value.substr(5);
        while (value.size() > 1 && value.back() == '/') value.pop_back();
        if (value.starts_with('/')) folder = value;
    }
    return folder;
}

// A path as the box shows it, in UTF-8: its bytes decoded as the locale
// the environment names (LC_ALL, LC_CTYPE, LANG) decodes them — Latin-1 on
// an old German system — not as Qt's own UTF-8, which this process may have
// been switched to; a byte that is not of that character set as U+FFFD.
std::string PathText(const std::string& path) {
    const locale_t system = newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(nullptr));
    const std::string codeset = system != static_cast<locale_t>(nullptr) ? nl_langinfo_l(CODESET, system) : "UTF-8";
    if (system != static_cast<locale_t>(nullptr)) freelocale(system);
    const iconv_t convert = iconv_open("UTF-8", codeset.c_str());
    if (convert == reinterpret_cast<iconv_t>(-1)) return QFile::decodeName(path.c_str()).toStdString();
    std::string text;
    std::vector<char> in(path.begin(), path.end()), out(4 * path.size() + 4);
    char* from = in.data();
    std::size_t left = in.size();
    while (left > 0) {
        char* to = out.data();
        std::size_t room = out.size();
        const bool stopped = iconv(convert, &from, &left, &to, &room) == static_cast<std::size_t>(-1);
        text.append(out.data(), to);
        if (stopped && errno != E2BIG) {
            text += "\xEF\xBF\xBD";
            ++from;
            --left;
        }
    }
    iconv_close(convert);
    return text;
}

bool Taken(const std::string& path) {
    struct stat info {};
    return lstat(path.c_str(), &info) == 0;
}

// A file's bytes into a new hidden file of their own in the folder, whole
// and on the disk: its path, or empty with errno saying why (and no file).
// The tests' disk is told the path the file is meant for first.
std::string WriteAside(const std::string& folder, const QByteArray& bytes, const std::string& meant) {
    qint64 room = bytes.size();
    if (Q().pictureDisk) room = std::min(room, Q().pictureDisk(QFile::decodeName(meant.c_str()), room));
    std::string aside;
    int fd = -1;
    for (int tries = 0; fd < 0 && tries < 100; ++tries) {
        aside = folder + "/.heliogeo-" + QByteArray::number(QRandomGenerator::global()->generate64(), 36).toStdString();
        fd = open(aside.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) return {};
    }
    if (fd < 0) return {};
    const char* from = bytes.constData();
    for (qint64 left = room; left > 0;) {
        const ssize_t written = write(fd, from, static_cast<std::size_t>(left));
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) break;
        from += written;
        left -= written;
    }
    bool whole = from == bytes.constData() + bytes.size();
    if (!whole && from == bytes.constData() + room) errno = ENOSPC;  // as a full disk says
    // A disk that cannot sync (EINVAL) has nothing more to say; another fault
    // of syncing or closing (NFS tells a full disk late) loses the file.
    whole = whole && (fsync(fd) == 0 || errno == EINVAL);
    whole = close(fd) == 0 && whole;
    if (whole) return aside;
    const int code = errno;
    unlink(aside.c_str());
    errno = code;
    return {};
}

// Puts the file written aside in place under `path` if no file has that name
// at this very moment: true; false with errno EEXIST where one has, another
// where it could not be done. The first way the file system offers, from
// `way` on (kept for the next name): a rename that refuses to replace; a
// second name for the file (a link), the first then taken away (NFS has no
// such rename); the name taken by a new empty file of its own first, which
// the rename then replaces (FAT has no links).
bool PutInPlace(const std::string& aside, const std::string& path, int& way) {
    if (Q().beforePlacing) Q().beforePlacing(QFile::decodeName(path.c_str()));
    if (way == 0) {
        if (renameat2(AT_FDCWD, aside.c_str(), AT_FDCWD, path.c_str(), RENAME_NOREPLACE) == 0) return true;
        if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) return false;
        way = 1;
    }
    if (way == 1) {
        if (link(aside.c_str(), path.c_str()) == 0) {
            if (unlink(aside.c_str()) == 0) return true;
            const int code = errno;
            unlink(path.c_str());
            errno = code;
            return false;
        }
        if (errno != EPERM && errno != EOPNOTSUPP && errno != ENOSYS) return false;
        way = 2;
    }
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    close(fd);
    if (rename(aside.c_str(), path.c_str()) == 0) return true;
    const int code = errno;
    unlink(path.c_str());
    errno = code;
    return false;
}

// Saves a file's bytes beside the pictures: into the user's picture folder,
// made if it is missing; the home folder if it cannot be. Written whole into
// a file of its own, then put in place under the name only where no file
// has it at that moment: a name that is taken, even by another program in
// the same second, gets the next number ("-2", "-3" …). A file that fails
// goes without a trace.
SavedAs SaveBesidePictures(const QByteArray& bytes, const std::string& fileName, std::string& where) {
    constexpr int MostNumbers = 100000;
    const std::string home = HomeFolder();
    if (home.empty()) {
        where = "kein persönlicher Ordner (HOME fehlt oder ist kein Ordner)";
        return SavedAs::Failed;
    }
    std::string folder = PictureFolder(home);
    std::error_code failed;
    std::filesystem::create_directories(folder, failed);
    if (failed) folder = home;
    // The first name free now, where the file is meant to go; only putting
    // it in place can tell whether it still is.
    int k = 1;
    while (k < MostNumbers && Taken(folder + "/" + core::NumberedName(fileName, k))) ++k;
    errno = 0;
    const std::string aside = WriteAside(folder, bytes, folder + "/" + core::NumberedName(fileName, k));
    if (aside.empty()) {
        where = WhyNotWritten(errno);
        return SavedAs::Failed;
    }
    int way = Q().placeFrom;
    for (; k <= MostNumbers; ++k) {
        const std::string path = folder + "/" + core::NumberedName(fileName, k);
        if (PutInPlace(aside, path, way)) {
            where = PathText(path);
            return SavedAs::File;
        }
        if (errno != EEXIST) break;
    }
    where = k > MostNumbers ? "kein freier Dateiname" : WhyNotWritten(errno);
    unlink(aside.c_str());
    return SavedAs::Failed;
}

}  // namespace

namespace {

bool WritePng(const Image& picture, QByteArray& png) {
    if (picture.Width <= 0 || picture.Height <= 0) return false;
    const QImage image(reinterpret_cast<const uchar*>(picture.Pixels.data()), picture.Width, picture.Height,
                       static_cast<qsizetype>(picture.Width) * 4, QImage::Format_RGB32);
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    return writer.write(image);
}

}  // namespace

SavedAs SavePicture(const Image& picture, const std::string& fileName, std::string& where) {
    if (!core::PictureSavable(picture, where)) return SavedAs::Failed;
    // The PNG in memory first, so that a fault of the disk is told apart.
    QByteArray png;
    if (!WritePng(picture, png)) {
        where = "das Bild ließ sich nicht als PNG schreiben";
        return SavedAs::Failed;
    }
    return SaveBesidePictures(png, fileName, where);
}

bool EncodePng(const Image& picture, std::string& bytes) {
    QByteArray png;
    const bool written = WritePng(picture, png);
    bytes = written ? png.toStdString() : std::string();
    return written;
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

void backend::ShowMessageBox(const std::vector<std::string>& lines) {
    State& s = S();
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
