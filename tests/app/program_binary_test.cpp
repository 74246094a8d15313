// The built program itself, started as a user starts it, watched from outside through the
// X server's window list.
#include "image_files.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QThread>
#include <gtest/gtest.h>

namespace pictavo::testing {
namespace {

constexpr int kWaitMs = 30000;

// The names of every window on the display.
QString WindowList() {
    QProcess list;
    list.start("xwininfo", {"-root", "-tree"});
    list.waitForFinished(kWaitMs);
    return QString::fromUtf8(list.readAllStandardOutput());
}

TEST(ProgramBinaryTest, FirstStartShowsTheSettingsOverTheMainWindow) {
    if (QGuiApplication::platformName() != "xcb")
        GTEST_SKIP() << "needs an X display; run under xvfb-run";
    if (QStandardPaths::findExecutable("xwininfo").isEmpty())
        GTEST_SKIP() << "needs xwininfo (x11-utils)";

    TempDir home;
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("HOME", QString::fromStdString(home.path().string()));
    environment.insert("XDG_CONFIG_HOME", QString::fromStdString(home.File("config")));
    program.setProcessEnvironment(environment);
    program.setProcessChannelMode(QProcess::ForwardedChannels);
    program.start(PICTAVO_PROGRAM, {});
    ASSERT_TRUE(program.waitForStarted(kWaitMs));

    QElapsedTimer waited;
    waited.start();
    QString windows;
    while (waited.elapsed() < kWaitMs && program.state() == QProcess::Running) {
        windows = WindowList();
        if (windows.contains("\" Varnel Pictavo\"") && windows.contains("\"Settings\""))
            break;
        QThread::msleep(100);
    }
    EXPECT_TRUE(windows.contains("\" Varnel Pictavo\"")) << windows.toStdString();
    EXPECT_TRUE(windows.contains("\"Settings\"")) << windows.toStdString();
    program.kill();
    program.waitForFinished(kWaitMs);

    // The first start made the per-user settings in their native place.
    const QSettings stored(QString::fromStdString(home.File("config")) + "/Varnel/Pictavo.conf",
                           QSettings::IniFormat);
    EXPECT_EQ(stored.value("Init_Settings").toInt(), 1);
    EXPECT_EQ(stored.value("ActiveGame").toLongLong(), 0xFFFFFFFFLL);
}

} // namespace
} // namespace pictavo::testing
