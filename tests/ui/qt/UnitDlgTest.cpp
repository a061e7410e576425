#include "GuiTestFixture.h"
#include "QtDialog.h"
#include "ResourceIds.h"
#include "UnitDlg.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>

namespace {

const QString kEnterRange = QStringLiteral("1와(과) 9 사이의 정수를 입력하십시오.");

class UnitDlg : public GuiTest
{
protected:
    CUnitDlg m_unit{m_settingsFile};
    CQtDialog m_dialog{m_unit, m_services};

    QLineEdit* ByteEdit() const { return m_dialog.Edit(IDC_BYTE_UNIT); }
    QLineEdit* LineEdit() const { return m_dialog.Edit(IDC_LINE_UNIT); }
};

TEST_F(UnitDlg, FirstUseShowsTheDefaultsAndEnterAccepts)
{
    Show(m_dialog);
    EXPECT_EQ(m_dialog.windowTitle(), QStringLiteral("단위"));
    EXPECT_EQ(ByteEdit()->text(), "1");
    EXPECT_EQ(LineEdit()->text(), "10");
    SaveScreenshot(m_dialog, "unit-dialog.png");

    QTest::keyClick(ByteEdit(), Qt::Key_Return);
    EXPECT_EQ(m_dialog.result(), QDialog::Accepted);
    EXPECT_FALSE(m_dialog.isVisible());
    EXPECT_TRUE(SettingsFileExists());
    EXPECT_TRUE(m_services.messages.empty());
}

// The greyed line unit stays in view, showing where a long value begins.
TEST_F(UnitDlg, DisabledLineUnitIsGreyedInViewFromTheStartOfItsValue)
{
    m_settings.WriteSettingInt("config", "LineUnit", 2147483647);
    m_unit.SetLineUnitEnabled(false);
    Show(m_dialog);
    for (const int id : {IDC_LINE_UNIT, IDC_LINE_UNIT_LABEL, IDC_LINE_UNIT_SUFFIX}) {
        EXPECT_FALSE(m_dialog.Control(id)->isEnabled()) << id;
        EXPECT_TRUE(m_dialog.Control(id)->isVisible()) << id;
    }
    ASSERT_EQ(LineEdit()->text(), "2147483647");
    ASSERT_LT(LineEdit()->width(), LineEdit()->fontMetrics().horizontalAdvance(LineEdit()->text()));
    EXPECT_EQ(LineEdit()->cursorPosition(), 0);
}

// Enter with a refused unit leaves the dialog open with the box belonging
// to it, the failing edit focused and its text selected, wherever the
// focus was; the units typed are read back once corrected.
TEST_F(UnitDlg, RefusedEnterKeepsTheDialogOpenUntilCorrected)
{
    m_unit.m_nByteUnit = 12;
    Show(m_dialog);
    LineEdit()->setFocus();
    Type(LineEdit(), "16");
    QTest::keyClick(LineEdit(), Qt::Key_Return);
    EXPECT_EQ(m_services.messages, std::vector<QString>{kEnterRange});
    EXPECT_EQ(m_services.messageOwners, std::vector<QWidget*>{&m_dialog});
    EXPECT_TRUE(m_dialog.isVisible());
    EXPECT_EQ(QApplication::focusWidget(), ByteEdit());
    EXPECT_EQ(ByteEdit()->selectedText(), "12");

    Type(ByteEdit(), "2");
    QTest::keyClick(ByteEdit(), Qt::Key_Return);
    EXPECT_EQ(m_dialog.result(), QDialog::Accepted);
    EXPECT_FALSE(m_dialog.isVisible());
    EXPECT_EQ(m_unit.m_nByteUnit, 2);
    EXPECT_EQ(m_unit.m_nLineUnit, 16);
}

TEST_F(UnitDlg, EscapeAfterEditingStoresNothing)
{
    Show(m_dialog);
    Type(ByteEdit(), "5");
    Type(LineEdit(), "20");
    QTest::keyClick(LineEdit(), Qt::Key_Escape);
    EXPECT_EQ(m_dialog.result(), QDialog::Rejected);
    EXPECT_FALSE(m_dialog.isVisible());
    EXPECT_FALSE(SettingsFileExists());
    EXPECT_EQ(m_unit.m_nByteUnit, 1);
}

TEST_F(UnitDlg, TabOrderAndInitialFocus)
{
    m_unit.m_nByteUnit = 42;
    Show(m_dialog);
    EXPECT_EQ(QApplication::focusWidget(), ByteEdit());
    EXPECT_EQ(ByteEdit()->selectedText(), "42");
    const QWidget* expected[] = {m_dialog.Control(IDOK), LineEdit(), ByteEdit()};
    for (const QWidget* next : expected) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), next);
    }
    EXPECT_EQ(m_dialog.Button(IDOK)->text(), QStringLiteral("확    인"));
}

TEST_F(UnitDlg, F1ShowsTheCommandLineUsage)
{
    Show(m_dialog);
    QTest::keyClick(ByteEdit(), Qt::Key_F1);
    ASSERT_EQ(m_services.messages.size(), 1u);
    EXPECT_TRUE(m_services.messages[0].startsWith("Usage  : morvex option source_file destination_file\n"));
    EXPECT_TRUE(m_dialog.isVisible());
}

} // namespace
