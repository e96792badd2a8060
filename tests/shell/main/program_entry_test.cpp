// The program entry: the whole start as the user sees it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTimer>
#include <filesystem>

#include "shell/config_fixture.h"
#include "layout/model/layout_model.h"
#include "network/model/net_state.h"
#include "shell/main/program_entry.h"
#include "shell/dialogs/untBoodschap.h"
#include "shell/dialogs/untInfo.h"
#include "shell/window/untSchema.h"
#include "shell/shell_test_support.h"

namespace {

TEST(ProgramEntry, StartsAnswersTheStartDialogAndEndsWhenTheMainWindowCloses) {
    testsupport::ScratchDir dir;
    resetShellState();
    CfgFixture f;
    f.layout = "Station.vtl";
    f.loco = "Station.loc";
    testsupport::writeBytes(dir.file("vestrel.cfg"), f.bytes());

    std::string title, scale, zoom;
    bool formsInOrder = false;
    whenModal([&](QWidget* modal) {
        formsInOrder = modal == frmInfo && frmSchema && frmBoodschap;
        pressKey(modal, Qt::Key_Escape);
    });
    auto* watch = new QTimer;
    watch->setInterval(5);
    QObject::connect(watch, &QTimer::timeout, [&, watch] {
        if (!frmInfo || frmInfo->isVisible() || frmInfo->btnOK->isHidden() || !frmSchema->isVisible()) return;
        watch->stop();
        watch->deleteLater();
        title = frmSchema->windowTitle().toStdString();
        scale = frmSchema->lblSchaalwaarde->text().toStdString();
        zoom = frmSchema->lblZoomwaarde->text().toStdString();
        frmSchema->close();
    });
    watch->start();

    char name[] = "VestrelWin";
    char* argv[] = {name, nullptr};
    EXPECT_EQ(WinMain(1, argv), 0);

    EXPECT_TRUE(formsInOrder);
    EXPECT_EQ(title, "Brandelwyn Modelspoorprogramma - Station.vtl - Station.loc");
    EXPECT_FALSE(scale.empty());  // the read-outs of the layout loaded before the other forms existed
    EXPECT_FALSE(zoom.empty());
    EXPECT_EQ(gNetMode, 0);
    EXPECT_EQ(frmSchema, nullptr);  // every form is gone again
    EXPECT_EQ(frmInfo, nullptr);
    EXPECT_EQ(gCanvasSize.width, 800);
}

// The built program itself: it starts, writes its configuration and waits in the start dialog.
TEST(ProgramEntry, TheProgramStartsInItsWorkingFolder) {
    const QString program = QCoreApplication::applicationDirPath() + "/../VestrelWin";
    if (!QFile::exists(program)) GTEST_SKIP() << "VestrelWin is not built";
    testsupport::ScratchDir dir;
    QProcess process;
    process.setWorkingDirectory(QString::fromStdString(dir.path()));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    process.setProcessEnvironment(env);
    process.start(program, {});
    ASSERT_TRUE(process.waitForStarted());
    const bool configWritten =
        processUntil([&] { return std::filesystem::exists(dir.file("vestrel.cfg")) || process.state() == QProcess::NotRunning; });
    EXPECT_TRUE(configWritten);
    EXPECT_TRUE(std::filesystem::exists(dir.file("vestrel.cfg")));
    EXPECT_EQ(process.state(), QProcess::Running);  // waiting for the start-mode choice
    process.kill();
    process.waitForFinished();
}

}  // namespace
