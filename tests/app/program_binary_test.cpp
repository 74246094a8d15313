// The built program itself, started as a user starts it, watched from outside through the
// X server's window list.
#include "image_files.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <QThread>
#include <gtest/gtest.h>

namespace pictavo::testing {
namespace {

constexpr int kWaitMs = 30000;

QString Output(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(kWaitMs);
    return QString::fromUtf8(process.readAllStandardOutput());
}

// Whether process `pid` shows a window named `name` on the display: other test programs
// may show windows of the same name meanwhile.
bool ShowsWindow(qint64 pid, const QString& name) {
    const QRegularExpression window("^\\s*(0x[0-9a-f]+) \"" + QRegularExpression::escape(name) +
                                        "\":",
                                    QRegularExpression::MultilineOption);
    const QString ownPid = "= " + QString::number(pid);
    for (const QRegularExpressionMatch& match :
         window.globalMatch(Output("xwininfo", {"-root", "-tree"}))) {
        if (Output("xprop", {"-id", match.captured(1), "_NET_WM_PID"}).trimmed().endsWith(ownPid))
            return true;
    }
    return false;
}

TEST(ProgramBinaryTest, FirstStartShowsTheSettingsOverTheMainWindow) {
    if (QGuiApplication::platformName() != "xcb")
        GTEST_SKIP() << "needs an X display; run under xvfb-run";
    if (QStandardPaths::findExecutable("xwininfo").isEmpty() ||
        QStandardPaths::findExecutable("xprop").isEmpty())
        GTEST_SKIP() << "needs xwininfo and xprop (x11-utils)";

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
    bool mainShown = false;
    bool settingsShown = false;
    while (waited.elapsed() < kWaitMs && program.state() == QProcess::Running) {
        mainShown = ShowsWindow(program.processId(), " Varnel Pictavo");
        settingsShown = ShowsWindow(program.processId(), "Settings");
        if (mainShown && settingsShown)
            break;
        QThread::msleep(100);
    }
    EXPECT_TRUE(mainShown) << "the main window";
    EXPECT_TRUE(settingsShown) << "the settings dialog";
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
