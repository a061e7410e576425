#include "AboutDlg.h"
#include "GuiTestFixture.h"
#include "ModalHook.h"
#include "MorvexDlg.h"
#include "QtDialog.h"
#include "QtResources.h"
#include "ResourceIds.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QFontInfo>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>

#include <functional>

namespace {

// The release notes of this version, exactly as the program keeps them.
constexpr char kReleaseNotes[] = "==================================================\r\n"
                                 "  Release version 1.10\r\n"
                                 "--------------------------------------------------\r\n"
                                 "  - BIN -> HEX 변환후, HEX -> BIN 변환시\r\n"
                                 "    두 가지의 BIN가 다르게 생성되는 문제 수정\r\n"
                                 "  - Text HEX 파일의 숫자의 0 으로 시작되는 앞자리\r\n"
                                 "    숫자 생략하더라도, 정상적으로 BIN 파일 생성\r\n"
                                 "  + Text HEX 파일에서의 10진수 지원\r\n";

const QString kVersionLine = QStringLiteral("Morvex v1.10");

QLabel* VersionText(const CQtDialog& dialog)
{
    return qobject_cast<QLabel*>(dialog.Control(IDC_VERSION_TEXT));
}

QPlainTextEdit* ReleaseNotesBox(const CQtDialog& dialog)
{
    return qobject_cast<QPlainTextEdit*>(dialog.Control(IDC_RELEASE_NOTES));
}

class AboutDlg : public GuiTest
{
protected:
    void SetUp() override { Show(m_dialog); }

    QPlainTextEdit* Notes() const { return ReleaseNotesBox(m_dialog); }

    CAboutDlg m_about;
    CQtDialog m_dialog{m_about, m_services};
};

TEST_F(AboutDlg, ShowsTheVersionLineAndTheReleaseNotesResource)
{
    EXPECT_EQ(m_dialog.windowTitle(), QStringLiteral("About..."));
    EXPECT_EQ(m_about.m_strVersion, kVersionLine.toStdString());
    ASSERT_NE(VersionText(m_dialog), nullptr);
    EXPECT_EQ(VersionText(m_dialog)->text(), kVersionLine);

    QFile resource(QtResourcePath(IDR_RELEASE_NOTES));
    ASSERT_TRUE(resource.open(QIODevice::ReadOnly));
    const QByteArray bytes = resource.readAll();
    EXPECT_EQ(bytes.toStdString(), kReleaseNotes);
    EXPECT_EQ(m_about.m_strReleaseNotes, bytes.toStdString());
    // The box keeps its lines apart with LF alone.
    ASSERT_NE(Notes(), nullptr);
    EXPECT_EQ(
        Notes()->toPlainText(), QString::fromUtf8(kReleaseNotes).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    EXPECT_TRUE(m_services.messages.empty());
    SaveScreenshot(m_dialog, "about-dialog.png");
}

TEST_F(AboutDlg, ReleaseNotesAreReadOnlyScrollableAndNoTabStop)
{
    const QString shown = Notes()->toPlainText();
    Notes()->setFocus();
    QTest::keyClicks(Notes(), QStringLiteral("typed"));
    QTest::keyClick(Notes(), Qt::Key_Backspace);
    QTest::keyClick(Notes(), Qt::Key_Delete);
    EXPECT_EQ(Notes()->toPlainText(), shown);
    EXPECT_TRUE(Notes()->verticalScrollBar()->isVisible());
    EXPECT_FALSE(Notes()->focusPolicy() & Qt::TabFocus);
}

TEST_F(AboutDlg, ReleaseNotesUseAFixedWidthHangulFaceTwelvePixelsHigh)
{
    const QFontInfo font(Notes()->font());
    const QStringList faces
        = {QStringLiteral("굴림체"), QStringLiteral("GulimChe"), QStringLiteral("NanumGothicCoding")};
    EXPECT_TRUE(faces.contains(font.family())) << font.family().toStdString();
    EXPECT_EQ(font.pixelSize(), 12);
    EXPECT_EQ(font.weight(), QFont::Normal);
    EXPECT_FALSE(font.italic());
    const QFontMetrics metrics(Notes()->font());
    EXPECT_EQ(metrics.horizontalAdvance(QLatin1Char('i')), metrics.horizontalAdvance(QLatin1Char('W')));
    EXPECT_TRUE(metrics.inFont(QChar(0xBCC0)));  // 변
}

TEST_F(AboutDlg, OkIsTheDefaultButtonAndHasTheFocus)
{
    auto* ok = qobject_cast<QPushButton*>(m_dialog.Button(IDOK));
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->text(), QStringLiteral("확인"));
    EXPECT_TRUE(ok->isDefault());
    EXPECT_EQ(QApplication::focusWidget(), ok);
}

struct CCloseCase
{
    const char* name;
    std::function<void(CQtDialog&)> press;
    int result;
};

void PrintTo(const CCloseCase& closeCase, std::ostream* out)
{
    *out << closeCase.name;
}

class AboutDlgCloses : public GuiTest, public testing::WithParamInterface<CCloseCase>
{};

TEST_P(AboutDlgCloses, WithTheResultOfItsButton)
{
    CAboutDlg about;
    CQtDialog dialog(about, m_services);
    Show(dialog);
    GetParam().press(dialog);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), GetParam().result);
    EXPECT_TRUE(m_services.messages.empty());
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Keys, AboutDlgCloses,
    testing::Values(
        CCloseCase{"Enter", [](CQtDialog&) { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return); }, QDialog::Accepted},
        CCloseCase{"Escape", [](CQtDialog& d) { QTest::keyClick(&d, Qt::Key_Escape); }, QDialog::Rejected},
        CCloseCase{"OkButton", [](CQtDialog& d) { QTest::mouseClick(d.Button(IDOK), Qt::LeftButton); }, QDialog::Accepted},
        CCloseCase{"CloseBox", [](CQtDialog& d) { d.close(); }, QDialog::Rejected}),
    [](const auto& row) { return std::string(row.param.name); });
// clang-format on

// The about box opened from the main dialog.
class AboutDlgOpening : public GuiTest
{};

TEST_F(AboutDlgOpening, AboutEntryOfTheMainDialogOpensTheAboutBoxModally)
{
    CMorvexDlg mainLogic(m_settingsFile);
    CQtDialog mainDialog(mainLogic, m_services);
    Show(mainDialog);
    auto* menu = mainDialog.findChild<QMenu*>();
    ASSERT_NE(menu, nullptr);
    ASSERT_FALSE(menu->actions().isEmpty());
    CModalHook close([&](CQtDialog& about) {
        EXPECT_NE(dynamic_cast<CAboutDlg*>(&about.Dialog()), nullptr);
        EXPECT_EQ(about.parentWidget(), &mainDialog);
        EXPECT_EQ(VersionText(about)->text(), kVersionLine);
        QTest::keyClick(&about, Qt::Key_Escape);
    });
    menu->actions().front()->trigger();
    EXPECT_TRUE(close.Ran());
    EXPECT_TRUE(mainDialog.isVisible());
    EXPECT_TRUE(m_services.messages.empty());
}

} // namespace
