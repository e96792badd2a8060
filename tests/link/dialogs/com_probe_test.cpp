// "Vrije COM-poorten": the ports that open now, not the one the link holds, not missing devices.
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

#include "link/dialogs/untComVrij.h"
#include "link/link_test_support.h"
#include "platform/pty_pair.h"
#include "test_support.h"

using vestrel::test::PtyPair;

TEST(ComProbe, ListsTheFreePortsOnly) {
    testsupport::ScratchDir dir;  // the link's com.log
    linktest::commandStationSettings(false);
    TfrmComVrij probe;
    probe.FormShow();
    EXPECT_EQ(probe.lblComVrij->text(), "geen");

    PtyPair held, free;
    held.setAsComPort(1);
    free.setAsComPort(3);
    openCommandStationLink();
    ASSERT_TRUE(gLinkOpen);
    probe.FormShow();
    EXPECT_EQ(probe.lblComVrij->text(), "COM3\n");
    EXPECT_GT(probe.btnOK->y(), probe.lblComVrij->y() + probe.lblComVrij->height() - 1);
    linktest::closeLink();
    probe.FormShow();
    EXPECT_EQ(probe.lblComVrij->text(), "COM1\nCOM3\n");
    probe.btnOKClick();
    EXPECT_FALSE(probe.isVisible());
}

// The window is wide enough for its caption beside the title bar's icon and buttons, however short
// the list.
TEST(ComProbe, TheCaptionShowsWhole) {
    testsupport::ScratchDir dir;
    TfrmComVrij probe;
    probe.FormShow();
    QFont bold = probe.font();
    bold.setBold(true);
    const int titleBar = probe.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &probe);
    EXPECT_GE(probe.width(), QFontMetrics(bold).horizontalAdvance("Vrije COM-poorten") + 4 * titleBar);
}
