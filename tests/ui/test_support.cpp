// What the window tests cannot see into. Time labels paint from glyphs laid out once: each text lands on
// the pixels a QLabel paints, a change repaints only the characters that changed. The end signals reach the
// event loop; a second start finds the running program by its directory (whole-program ends: tests/e2e).

#include "ui/main/application.h"
#include "ui/widgets/glyphlabel.h"
#include "ui/system/signalwatcher.h"
#include "ui/system/singleinstance.h"

#include <QSignalSpy>
#include <QTest>
#include <QtWidgets>

#include <atomic>
#include <csignal>
#include <functional>
#include <thread>

#include <pthread.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using namespace vemar::ui;

namespace {

// A label of the main window's time grid: 20 pixels high, centred, white on navy.
void dress(QLabel& label, int width, bool bold, int pointSize = 0) {
    label.setAlignment(Qt::AlignCenter), label.setFixedSize(width, 20);
    QFont font = QApplication::font();
    font.setBold(bold);
    if (pointSize) font.setPointSize(pointSize);
    label.setFont(font), label.setAutoFillBackground(true);
    QPalette p = label.palette();
    p.setColor(QPalette::Window, QColor(0, 0, 128)), p.setColor(QPalette::WindowText, Qt::white), label.setPalette(p);
}

QImage rendered(QWidget& widget) {
    QImage image(widget.size(), QImage::Format_RGB32);
    image.fill(Qt::red), widget.render(&image);
    return image;
}

// $XDG_RUNTIME_DIR in a folder of this user's alone, as a session has it.
void privateRuntime(const QTemporaryDir& runtime) {
    QFile::setPermissions(runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());
}

// What QLabel paints for the text.
QImage reference(const QString& text, int width, bool bold, int pointSize = 0) {
    QLabel label(text);
    dress(label, width, bold, pointSize);
    return rendered(label);
}

// A request to the running program in pieces is answered; a caller gone before its line ends is hung up on.
void PiecesAnswered(const std::string& socket) {
    QByteArray reply;
    const auto call = [&](const char* rest) {   // "sh" first, heard alone, then the rest
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        sockaddr_un to{AF_UNIX, {}};
        socket.copy(to.sun_path, sizeof to.sun_path - 1), ::connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to);
        for (const char* piece : {"sh", rest}) ::send(fd, piece, std::strlen(piece), MSG_NOSIGNAL), QTest::qWait(50);
        return fd;
    };
    const auto hear = [&](int fd) {
        char bytes[8];
        const ssize_t n = ::recv(fd, bytes, sizeof bytes, 0);
        return reply.append(bytes, std::max<ssize_t>(n, 0)), n;
    };
    const int whole = call("ow\n"), cut = call("");
    QTRY_COMPARE((hear(whole), reply), QByteArray("ok\n"));
    ::shutdown(cut, SHUT_WR);
    QTRY_COMPARE(hear(cut), ssize_t(0));
    ::close(whole), ::close(cut);
}

} // namespace

class SupportTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { setUpLook(*qApp); }

    void glyphsPaintAsQLabel_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("width");
        QTest::addColumn<bool>("bold");
        QTest::addColumn<int>("pointSize");        // set after the text, when not 0
        QTest::addColumn<bool>("throughQLabel");   // the text set by QLabel::setText
        QTest::newRow("one-digit hour after two blanks") << "  9:05:07" << 81 << true << 0 << false;
        QTest::newRow("a kerned pair") << "11:11:11" << 81 << true << 0 << false;
        QTest::newRow("trailing blank") << "20:49:56 " << 70 << false << 0 << false;
        QTest::newRow("words and quotes") << "Inizio anno da: 4148 h  00'  00''" << 214 << false << 0 << false;
        QTest::newRow("Julian day, not bold") << "JD = 2460482,5" << 166 << false << 0 << false;
        QTest::newRow("empty") << "" << 81 << true << 0 << false;
        QTest::newRow("larger font after the text") << "17:47:19" << 81 << true << 12 << false;
        QTest::newRow("set through QLabel") << "14:30:59" << 81 << true << 0 << true;
        // Left to QLabel whole: rich text, a character of another font.
        QTest::newRow("rich text") << "<b>22</b>:00" << 81 << false << 0 << false;
        QTest::newRow("a character of another font") << QString::fromUtf8("\u2654 12:00") << 81 << false << 0 << false;
        QTest::newRow("that character alone") << QString::fromUtf8("\u2654") << 81 << false << 0 << false;
    }
    void glyphsPaintAsQLabel() {
        QFETCH(QString, text);
        QFETCH(int, width);
        QFETCH(bool, bold);
        QFETCH(int, pointSize);
        QFETCH(bool, throughQLabel);
        GlyphLabel label;
        dress(label, width, bold), label.showText("00:00:00");
        rendered(label);   // a layout of another text first, to be replaced
        throughQLabel ? label.QLabel::setText(text) : label.showText(text);
        if (QFont font = label.font(); pointSize) font.setPointSize(pointSize), label.setFont(font);
        QCOMPARE(rendered(label), reference(text, width, bold, pointSize));
    }

    // Framed, with a margin or an indent, wrapped or right to left: the label is left to QLabel.
    void glyphsLeaveOtherLooksToQLabel() {
        const std::function<void(QLabel&)> looks[] = {
            [](QLabel& l) { l.setFrameStyle(QFrame::Box); }, [](QLabel& l) { l.setAlignment(Qt::AlignLeft), l.setMargin(3); },
            [](QLabel& l) { l.setAlignment(Qt::AlignLeft), l.setIndent(9); }, [](QLabel& l) { l.setWordWrap(true); },
            [](QLabel& l) { l.setAlignment(Qt::AlignLeft), l.setLayoutDirection(Qt::RightToLeft); }};
        for (const auto& look : looks) {
            GlyphLabel label;
            QLabel plain("22:00:00 23:00:00");   // wider than the label
            for (QLabel* l : {static_cast<QLabel*>(&label), &plain}) dress(*l, 81, true), look(*l);
            label.showText(plain.text());
            QCOMPARE(rendered(label), rendered(plain));
        }
    }

    // A label on the screen goes through texts; after the last one the screen must show what QLabel paints
    // for it, the last change having repainted only the columns where the two texts' pictures differ.
    void glyphsRepaintTheChangedCharacters_data() {
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("the second") << QStringList{"22:00:00", "22:00:01"};
        QTest::newRow("the minute") << QStringList{"22:00:59", "22:01:00"};
        QTest::newRow("to a two-digit hour") << QStringList{"  9:59:59", "10:00:00"};
        QTest::newRow("back to one digit") << QStringList{"23:59:59", "  0:00:00"};
        QTest::newRow("a kerned pair moves the text") << QStringList{"11:11:10", "11:11:11", "11:11:12"};
        QTest::newRow("seconds in a row") << QStringList{"22:00:00", "22:00:01", "22:00:02", "22:00:03", "22:00:04"};
        QTest::newRow("year progress") << QStringList{"Inizio anno da: 4148 h  00'  00''",
                                                      "Inizio anno da: 4148 h  00'  01''"};
        // One digit fewer: the centred text moves right, off the old one's left end.
        QTest::newRow("year's end, a digit fewer") << QStringList{"Fine anno tra: 1000 h  00'  00''",
                                                                  "Fine anno tra: 999 h  59'  59''"};
    }
    void glyphsRepaintTheChangedCharacters() {
        QFETCH(QStringList, texts);
        struct PaintRecorder : QObject {
            QRegion painted;
            int paints = 0;
            bool eventFilter(QObject*, QEvent* e) override {
                if (e->type() == QEvent::Paint) painted += static_cast<QPaintEvent*>(e)->region(), ++paints;
                return false;
            }
        } recorder;
        const int width = texts[0].size() > 9 ? 214 : 81;
        QWidget window;
        window.resize(width + 20, 40);
        auto* label = new GlyphLabel(&window);
        dress(*label, width, true), label->move(10, 10), label->showText(texts[0]), window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        label->installEventFilter(&recorder);
        for (const QString& text : texts.mid(1)) {
            recorder.painted = QRegion(), label->showText(text);
            QTRY_VERIFY(!recorder.painted.isEmpty());
        }
        const QImage before = reference(texts[texts.size() - 2], width, true);
        const QImage after = reference(texts.last(), width, true);
        const QImage shown = window.screen()->grabWindow(window.winId(), 10, 10, width, 20).toImage();
        QCOMPARE(shown.convertToFormat(QImage::Format_RGB32), after);
        int first = width, last = -1;   // the columns where the two pictures differ
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < width; ++x)
                if (before.pixel(x, y) != after.pixel(x, y)) first = std::min(first, x), last = std::max(last, x);
        const QRect repainted = recorder.painted.boundingRect();
        QVERIFY2(repainted.left() >= first - 3 && repainted.right() <= last + 3, qPrintable(QString::asprintf(
                     "repainted %d..%d, changed %d..%d", repainted.left(), repainted.right(), first, last)));
        const int paints = recorder.paints;   // the same text again repaints nothing
        label->showText(texts.last()), QTest::qWait(20);
        QCOMPARE(recorder.paints, paints);
    }

    // Each signal arrives once, in order, on the user-interface thread.
    void signalsReachTheEventLoop() {
        SignalWatcher watcher;
        QSignalSpy spy(&watcher, &SignalWatcher::endRequested);
        for (int number : {SIGTERM, SIGHUP, SIGINT}) std::raise(number);
        QTRY_COMPARE(spy.count(), 3);
        for (int i = 0; i < 3; ++i) QCOMPARE(spy[i][0].toInt(), (std::array{SIGTERM, SIGHUP, SIGINT})[i]);
    }

    // As the `vemar` command starts the program: the end signals held back. One sent then is noted as soon
    // as the handler is installed, and the first watcher, made much later, still hears of it, once. After
    // every test that makes a watcher of its own: this handler stays for the run.
    void signalBeforeTheWindowIsKeptForTheWatcher() {
        sigset_t ends;
        sigemptyset(&ends), sigaddset(&ends, SIGTERM);
        QCOMPARE(pthread_sigmask(SIG_BLOCK, &ends, nullptr), 0);
        std::raise(SIGTERM);   // pending: without the watcher's handler it would end the test
        QVERIFY(!SignalWatcher::endAsked());
        SignalWatcher::catchFromNow();
        QVERIFY(SignalWatcher::endAsked());
        SignalWatcher watcher;
        QSignalSpy spy(&watcher, &SignalWatcher::endRequested);
        QTRY_COMPARE(spy.count(), 1);
        QCOMPARE(spy[0][0].toInt(), SIGTERM);
        QTest::qWait(50);
        QCOMPARE(spy.count(), 1);
    }

    // A later start in the same directory, however its path is spelt, asks the running program to show its
    // window and ends 0, or ends 1 when the running one does not answer (stopped, or busy past the wait).
    // The socket is the user's alone, in $XDG_RUNTIME_DIR, named after the directory, and goes with the program.
    void laterStartAsksTheRunningOne() {
        QTemporaryDir runtime;
        privateRuntime(runtime);
        for (const bool answering : {true, false}) {
            QTemporaryDir dir;
            QVERIFY(QDir(dir.path()).mkpath("a/b"));
            const std::filesystem::path path = dir.path().toStdString() + "/a/b";
            const QString socket = QString::fromStdString(SingleInstance::socketPath(path));
            QVERIFY(socket.startsWith(runtime.path() + "/vemar-"));
            QVERIFY(socket != QString::fromStdString(SingleInstance::socketPath(path.parent_path())));
            {
                SingleInstance running(path);
                QVERIFY(!running.claim());
                const auto others = QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther;
                QCOMPARE(QFileInfo(socket).permissions() & others, QFile::Permissions());
                std::optional<int> later;
                std::atomic<bool> ended = false;
                const std::filesystem::path spelt = dir.path().toStdString() + (answering ? "/a/./b/" : "/a/../a/b");
                std::thread start([&] { later = SingleInstance(spelt).claim(), ended = true; });
                // The running program answers from its event loop, when that runs.
                if (answering) QTRY_VERIFY_WITH_TIMEOUT(ended, 5000);
                start.join();
                QCOMPARE(later, std::optional<int>(answering ? 0 : 1));
                if (answering) PiecesAnswered(socket.toStdString());
            }
            QVERIFY(!QFileInfo::exists(socket));
        }
    }

    // Without a private $XDG_RUNTIME_DIR the socket goes into a folder of the program's own under $TMPDIR;
    // whatever else holds that folder's name first is never used: a link, a folder open to others, one of
    // another user (root plays the other user: its part runs as nobody).
    void socketFolderIsThisUsersAlone_data() {
        QTest::addColumn<QString>("runtime");   // $XDG_RUNTIME_DIR's mode, or its absence
        QTest::addColumn<QString>("planted");   // what stands at $TMPDIR/vemar-<uid> before the start
        QTest::addColumn<bool>("used");
        QTest::newRow("a runtime folder open to others") << "0755" << "" << true;
        QTest::newRow("none, the folder made at an earlier start") << "" << "0700" << true;
        QTest::newRow("a link to a folder") << "" << "link" << false;
        QTest::newRow("a folder open to others") << "" << "0777" << false;
        if (::geteuid() == 0) QTest::newRow("another user's folder") << "" << "nobody" << false;
    }
    void socketFolderIsThisUsersAlone() {
        QFETCH(QString, runtime);
        QFETCH(QString, planted);
        QFETCH(bool, used);
        QTemporaryDir tmp, home;
        const QString folder = tmp.path() + "/vemar-" + QString::number(::geteuid());
        qputenv("TMPDIR", tmp.path().toUtf8()), qputenv("XDG_RUNTIME_DIR", home.path().toUtf8());
        ::chmod(home.path().toUtf8(), runtime.toUInt(nullptr, 8));
        if (runtime.isEmpty()) qunsetenv("XDG_RUNTIME_DIR");
        if (planted == "link") QFile::link(home.path(), folder);
        else if (!planted.isEmpty()) ::mkdir(folder.toUtf8(), planted == "nobody" ? 0700 : planted.toUInt(nullptr, 8));
        if (planted == "nobody") QCOMPARE(::chown(folder.toUtf8(), 65534, 65534), 0);
        if (planted == "0777") ::chmod(folder.toUtf8(), 0777);
        std::string why;
        const std::string socket = SingleInstance::socketPath(home.path().toStdString(), &why);
        QCOMPARE(QString::fromStdString(socket).section('/', 0, -2), used ? folder : QString());
        QVERIFY(used || why.find(folder.toStdString()) != std::string::npos);
        qunsetenv("TMPDIR");
    }
};

QTEST_MAIN(SupportTest)
#include "test_support.moc"
