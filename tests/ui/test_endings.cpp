// The pieces of an orderly end that need no desktop: the signals that ask
// the program to end reach the event loop, and the name a second start
// looks for is the directory's, however its path is written. The whole
// program's ends (signals, a lost display, a second start) are proved end
// to end under Xvfb (tests/e2e).

#include "ui/support/signalwatcher.h"
#include "ui/support/singleinstance.h"

#include <QDir>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <csignal>
#include <thread>

#include <pthread.h>

class EndingsTest : public QObject {
    Q_OBJECT
private slots:
    // Each signal arrives once, in order, on the user-interface thread.
    void signalsReachTheEventLoop() {
        vemar::ui::SignalWatcher watcher;
        QSignalSpy spy(&watcher, &vemar::ui::SignalWatcher::endRequested);
        const int numbers[] = {SIGTERM, SIGHUP, SIGINT};
        for (int number : numbers) std::raise(number);
        QTRY_COMPARE(spy.count(), 3);
        for (int i = 0; i < 3; ++i) QCOMPARE(spy.at(i).at(0).toInt(), numbers[i]);
    }

    // As the `vemar` command starts the program: the end signals held back.
    // One sent then is noted as soon as the handler is installed, and the
    // first watcher, made much later, still hears of it, once. After every
    // test that makes a watcher of its own: this handler stays for the run.
    void signalBeforeTheWindowIsKeptForTheWatcher() {
        sigset_t ends;
        sigemptyset(&ends);
        sigaddset(&ends, SIGTERM);
        QCOMPARE(pthread_sigmask(SIG_BLOCK, &ends, nullptr), 0);
        std::raise(SIGTERM);   // pending: without the watcher's handler it would end the test
        QVERIFY(!vemar::ui::SignalWatcher::endAsked());
        vemar::ui::SignalWatcher::catchFromNow();
        QVERIFY(vemar::ui::SignalWatcher::endAsked());
        vemar::ui::SignalWatcher watcher;
        QSignalSpy spy(&watcher, &vemar::ui::SignalWatcher::endRequested);
        QTRY_COMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toInt(), SIGTERM);
        QTest::qWait(50);
        QCOMPARE(spy.count(), 1);
    }

    void serverNameFollowsTheDirectoryNotItsSpelling() {
        QTemporaryDir base;
        QVERIFY(QDir(base.path()).mkpath("a/b"));
        QVERIFY(QDir(base.path()).mkpath("c"));
        const std::string root = base.path().toStdString();
        const QString name = vemar::ui::SingleInstance::serverName(root + "/a/b");
        for (const std::string& spelling : {root + "/a/b/", root + "/a/./b", root + "/c/../a/b"})
            QCOMPARE(vemar::ui::SingleInstance::serverName(spelling), name);
        QVERIFY(vemar::ui::SingleInstance::serverName(root + "/a") != name);
        QVERIFY(vemar::ui::SingleInstance::serverName(root + "/c") != name);
    }

    // A later start in the same directory asks the running program to show
    // its window and ends 0, or ends 1 when the running one does not answer
    // (stopped, or busy past the wait). The socket is the user's alone and
    // goes with the program.
    void laterStartAsksTheRunningOne_data() {
        QTest::addColumn<bool>("answering");
        QTest::addColumn<int>("status");
        QTest::newRow("answered") << true << 0;
        QTest::newRow("no answer") << false << 1;
    }
    void laterStartAsksTheRunningOne() {
        QFETCH(bool, answering);
        QFETCH(int, status);
        QTemporaryDir dir;
        const std::filesystem::path path = dir.path().toStdString();
        const QString socket = vemar::ui::SingleInstance::socketPath(path);
        {
            vemar::ui::SingleInstance running(path);
            QVERIFY(!running.claim());
            QCOMPARE(QFileInfo(socket).permissions() & (QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther |
                                                        QFile::WriteOther), QFile::Permissions());
            std::optional<int> later;
            std::atomic<bool> ended = false;
            std::thread start([&] {
                later = vemar::ui::SingleInstance(path).claim();
                ended = true;
            });
            // The running program answers from its event loop, when that runs.
            if (answering) QTRY_VERIFY_WITH_TIMEOUT(ended, 5000);
            start.join();
            QCOMPARE(later, std::optional<int>(status));
        }
        QVERIFY(!QFileInfo::exists(socket));
    }
};

QTEST_MAIN(EndingsTest)
#include "test_endings.moc"
