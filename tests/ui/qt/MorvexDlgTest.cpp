#include "GuiTestFixture.h"
#include "ModalHook.h"
#include "MorvexDlg.h"
#include "QtDialog.h"
#include "ResourceIds.h"
#include "Usage.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMimeData>
#include <QUrl>

namespace {

const QString kDone = QStringLiteral("변환완료");

class MorvexDlg : public GuiTest
{
protected:
    void SetUp() override { Show(m_dialog); }

    QLineEdit* SourceEdit() const { return m_dialog.Edit(IDC_SOURCE_PATH); }
    QLineEdit* DestEdit() const { return m_dialog.Edit(IDC_DEST_PATH); }
    void Click(int id) { QTest::mouseClick(m_dialog.Button(id), Qt::LeftButton); }

    CMorvexDlg m_logic{m_settingsFile};
    CQtDialog m_dialog{m_logic, m_services};
};

TEST_F(MorvexDlg, CaptionIconAndScreenshot)
{
    EXPECT_EQ(m_dialog.windowTitle(), QStringLiteral("Morvex v1.10"));
    EXPECT_FALSE(m_dialog.windowIcon().isNull());
    EXPECT_EQ(m_dialog.Button(IDC_BIN_TO_TXT)->text(), QStringLiteral("BIN → TXT"));
    SaveScreenshot(m_dialog, "main-dialog.png");
}

TEST_F(MorvexDlg, TabOrderStartsAtTheSourceEdit)
{
    EXPECT_EQ(QApplication::focusWidget(), SourceEdit());
    const int order[] = {IDC_BROWSE_SOURCE, IDC_DEST_PATH, IDC_BROWSE_DEST, IDC_HEX_INVERT, IDC_TXT_TO_BIN,
        IDC_HOMEPAGE, IDC_COMMAND_HELP, IDC_BIN_TO_TXT, IDC_SOURCE_PATH};
    for (const int id : order) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), m_dialog.Control(id)) << id;
    }
}

TEST_F(MorvexDlg, EscapeClosesWithCancel)
{
    QTest::keyClick(SourceEdit(), Qt::Key_Escape);
    EXPECT_FALSE(m_dialog.isVisible());
    EXPECT_EQ(m_dialog.result(), QDialog::Rejected);
}

// The unit dialog runs modally in a window of its own over the main dialog,
// and Enter in it goes on with the conversion; the result box belongs to the
// main dialog.
TEST_F(MorvexDlg, UnitDialogRunsModallyAndEnterConverts)
{
    const std::string source = m_dir.Write("x.bin", "AB");
    Type(SourceEdit(), QString::fromStdString(source));
    CModalHook answer([&](CQtDialog& unitDialog) {
        EXPECT_EQ(unitDialog.parentWidget(), &m_dialog);
        EXPECT_EQ(unitDialog.Edit(IDC_BYTE_UNIT)->text(), "1");
        EXPECT_EQ(unitDialog.Edit(IDC_LINE_UNIT)->text(), "10");
        SaveScreenshot(unitDialog, "unit-dialog-from-bin-to-txt.png");
        QTest::keyClick(unitDialog.Edit(IDC_BYTE_UNIT), Qt::Key_Return);
    });
    Click(IDC_BIN_TO_TXT);
    EXPECT_TRUE(answer.Ran());
    EXPECT_EQ(m_services.messages, std::vector<QString>{kDone});
    EXPECT_EQ(m_services.messageOwners, std::vector<QWidget*>{&m_dialog});
    EXPECT_EQ(CTempDir::Read(source + ".txt"), "0x41,0x42,");
}

// Escape closes the modal unit dialog as a cancel: nothing is converted, and
// the derived destination shown before it opened stays in its edit box.
TEST_F(MorvexDlg, EscapeInTheUnitDialogConvertsNothing)
{
    const std::string source = m_dir.Write("x.txt", "0x41,0x42,");
    Type(SourceEdit(), QString::fromStdString(source));
    const QString derived = QString::fromStdString(source + ".bin");
    CModalHook cancel([&](CQtDialog& unitDialog) {
        EXPECT_EQ(DestEdit()->text(), derived);
        QTest::keyClick(unitDialog.Edit(IDC_BYTE_UNIT), Qt::Key_Escape);
    });
    Click(IDC_TXT_TO_BIN);
    EXPECT_TRUE(cancel.Ran());
    EXPECT_TRUE(m_services.messages.empty());
    EXPECT_FALSE(std::filesystem::exists(derived.toStdString()));
    EXPECT_EQ(DestEdit()->text(), derived);
}

// A refusal inside the modal unit dialog belongs to that dialog and keeps it
// open; the unit typed to correct it is the one the conversion uses.
TEST_F(MorvexDlg, ScannedWidthAboveNineIsRefusedUntilCorrected)
{
    const std::string source = m_dir.Write("x.txt", "0x123456789012345678901234,");
    Type(SourceEdit(), QString::fromStdString(source));
    CModalHook answer([&](CQtDialog& unitDialog) {
        QTest::keyClick(unitDialog.Edit(IDC_BYTE_UNIT), Qt::Key_Return);
        EXPECT_TRUE(unitDialog.isVisible());
        EXPECT_EQ(m_services.messages, std::vector<QString>{QStringLiteral("1와(과) 9 사이의 정수를 입력하십시오.")});
        EXPECT_EQ(m_services.messageOwners.back(), &unitDialog);
        Type(unitDialog.Edit(IDC_BYTE_UNIT), "1");
        QTest::keyClick(unitDialog.Edit(IDC_BYTE_UNIT), Qt::Key_Return);
    });
    Click(IDC_TXT_TO_BIN);
    EXPECT_TRUE(answer.Ran());
    EXPECT_EQ(m_services.messages.back(), kDone);
    EXPECT_EQ(CTempDir::Read(source + ".bin"), "\x34");
}

// Each browse button asks the platform for its kind of file; an answer lands
// in that button's edit box and a cancelled chooser leaves the box as typed.
TEST_F(MorvexDlg, ChooserAnswersReachTheirEditBoxes)
{
    Type(SourceEdit(), "typed-source");
    Type(DestEdit(), "typed-dest");
    m_services.fileAnswers = {std::nullopt, QStringLiteral("/data/new.txt")};
    Click(IDC_BROWSE_SOURCE);
    Click(IDC_BROWSE_DEST);
    EXPECT_EQ(SourceEdit()->text(), "typed-source");
    EXPECT_EQ(DestEdit()->text(), "/data/new.txt");

    m_services.fileAnswers = {QStringLiteral("/data/chosen.bin")};
    Click(IDC_BROWSE_SOURCE);
    EXPECT_EQ(SourceEdit()->text(), "/data/chosen.bin");
    EXPECT_EQ(DestEdit()->text(), "/data/new.txt");
    EXPECT_EQ(m_services.fileRequests,
        (std::vector<EFileChoice>{EFileChoice::ExistingSource, EFileChoice::Destination, EFileChoice::ExistingSource}));
    EXPECT_TRUE(m_services.messages.empty());
}

TEST_F(MorvexDlg, EnterInAPathEditOpensTheSourceChooser)
{
    for (QLineEdit* edit : {SourceEdit(), DestEdit()})
        QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(
        m_services.fileRequests, (std::vector<EFileChoice>{EFileChoice::ExistingSource, EFileChoice::ExistingSource}));
    EXPECT_TRUE(m_dialog.isVisible());
}

TEST_F(MorvexDlg, DroppedFileGivesItsLocalPath)
{
    for (QLineEdit* edit : {SourceEdit(), DestEdit()}) {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/드롭 file.bin"))});
        const QPoint centre = edit->rect().center();
        QDragEnterEvent enter(centre, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(edit, &enter);
        EXPECT_TRUE(enter.isAccepted());
        QDropEvent drop(centre, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(edit, &drop);
        EXPECT_EQ(edit->text(), QStringLiteral("/tmp/드롭 file.bin"));
    }
}

struct WayInCase
{
    const char* name;
    void (*press)(CQtDialog& dialog);
    std::vector<QString> messages;   // shown over the dialog
    std::vector<QString> openedUrls;
};

class MorvexDlgWayIn : public MorvexDlg, public testing::WithParamInterface<WayInCase>
{};

// The button or key reaches its handler through Qt, and the handler's
// request reaches the platform; what the handlers do, and how often, is in
// the logic tests (tests/ui/MorvexDlgTest.cpp).
TEST_P(MorvexDlgWayIn, ReachesItsHandlerThroughQt)
{
    GetParam().press(m_dialog);
    EXPECT_EQ(m_services.messages, GetParam().messages);
    EXPECT_EQ(m_services.messageOwners, std::vector<QWidget*>(GetParam().messages.size(), &m_dialog));
    EXPECT_EQ(m_services.openedUrls, GetParam().openedUrls);
    EXPECT_TRUE(m_services.fileRequests.empty());
    EXPECT_TRUE(m_dialog.isVisible());
}

const QString kUsage = QString::fromUtf8(kUsageText);

INSTANTIATE_TEST_SUITE_P(HelpAndHomePage, MorvexDlgWayIn,
    testing::Values(WayInCase{"CommandHelpButton",
                        [](CQtDialog& dialog) { QTest::mouseClick(dialog.Button(IDC_COMMAND_HELP), Qt::LeftButton); },
                        {kUsage}, {}},
        WayInCase{
            "F1", [](CQtDialog& dialog) { QTest::keyClick(dialog.Button(IDC_HEX_INVERT), Qt::Key_F1); }, {kUsage}, {}},
        WayInCase{"HomePageButton",
            [](CQtDialog& dialog) { QTest::mouseClick(dialog.Button(IDC_HOMEPAGE), Qt::LeftButton); }, {},
            {QStringLiteral("http://morvex.example.org/morvex")}}),
    [](const testing::TestParamInfo<WayInCase>& row) { return std::string(row.param.name); });

// How each way of asking for a context menu answers, by where the focus is.
struct ContextMenuCase
{
    const char* name;
    int focusedId;
    bool shiftF10;              // otherwise a context menu event of the given reason
    QContextMenuEvent::Reason reason;
    bool editMenu;              // the edit's own menu, the about entry added last
};

class MorvexDlgContextMenu : public MorvexDlg, public testing::WithParamInterface<ContextMenuCase>
{};

TEST_P(MorvexDlgContextMenu, OffersTheAboutEntrySelectedFirstFromTheKeyboard)
{
    const ContextMenuCase& c = GetParam();
    QWidget* target = m_dialog.Control(c.focusedId);
    target->setFocus();
    if (c.shiftF10) {
        QTest::keyClick(target, Qt::Key_F10, Qt::ShiftModifier);
    } else {
        QContextMenuEvent event(c.reason, QPoint(5, 5), target->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(target, &event);
    }
    auto* shown = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(shown, nullptr);
    const auto actions = shown->actions();
    EXPECT_EQ(actions.size() > 1, c.editMenu);
    EXPECT_EQ(actions.back()->text(), "&About...");
    const bool byKeyboard = c.shiftF10 || c.reason == QContextMenuEvent::Keyboard;
    if (!byKeyboard)
        EXPECT_EQ(shown->activeAction(), nullptr);
    else if (!c.editMenu)
        EXPECT_EQ(shown->activeAction(), actions.front());
    else
        EXPECT_TRUE(shown->activeAction() && shown->activeAction()->isEnabled());
    shown->close();
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Ways, MorvexDlgContextMenu,
    testing::Values(
        ContextMenuCase{"MouseOnButton", IDC_BROWSE_SOURCE, false, QContextMenuEvent::Mouse, false},
        ContextMenuCase{"MenuKeyOnButton", IDC_BROWSE_SOURCE, false, QContextMenuEvent::Keyboard, false},
        ContextMenuCase{"ShiftF10OnButton", IDC_BROWSE_SOURCE, true, QContextMenuEvent::Keyboard, false},
        ContextMenuCase{"MouseInEdit", IDC_SOURCE_PATH, false, QContextMenuEvent::Mouse, true},
        ContextMenuCase{"MenuKeyInEdit", IDC_DEST_PATH, false, QContextMenuEvent::Keyboard, true},
        ContextMenuCase{"ShiftF10InEdit", IDC_SOURCE_PATH, true, QContextMenuEvent::Keyboard, true}),
    [](const auto& row) { return std::string(row.param.name); });
// clang-format on

} // namespace
