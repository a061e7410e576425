#include "GuiTestFixture.h"
#include "QtDialog.h"
#include "ResourceIds.h"
#include "UnitDlg.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>

namespace {

const QString kEnterInteger = QStringLiteral("정수를 입력하십시오.");
const QString kEnterRange = QStringLiteral("1와(과) 9 사이의 정수를 입력하십시오.");
const QString kEnterPositive = QStringLiteral("1 이상의 정수를 입력하십시오.");

class UnitDlg : public GuiTest
{
protected:
    CUnitDlg m_unit{m_settingsFile};
    CQtDialog m_dialog{m_unit, m_services};

    QLineEdit* ByteEdit() const { return m_dialog.Edit(IDC_BYTE_UNIT); }
    QLineEdit* LineEdit() const { return m_dialog.Edit(IDC_LINE_UNIT); }
};

TEST_F(UnitDlg, FirstUseShowsTheDefaultsAndOkStoresThem)
{
    Show(m_dialog);
    EXPECT_EQ(m_dialog.windowTitle(), QStringLiteral("단위"));
    EXPECT_EQ(ByteEdit()->text(), "1");
    EXPECT_EQ(LineEdit()->text(), "10");
    SaveScreenshot(m_dialog, "unit-dialog.png");

    QTest::keyClick(ByteEdit(), Qt::Key_Return);
    EXPECT_EQ(m_dialog.result(), QDialog::Accepted);
    EXPECT_FALSE(m_dialog.isVisible());
    EXPECT_EQ(SettingsText(), "[config]\nByteUnit=1\nLineUnit=10\n");
    EXPECT_TRUE(m_services.messages.empty());
}

TEST_F(UnitDlg, ShowsTheStoredUnits)
{
    m_settings.WriteSettingInt("config", "ByteUnit", 4);
    m_settings.WriteSettingInt("config", "LineUnit", 16);
    Show(m_dialog);
    EXPECT_EQ(ByteEdit()->text(), "4");
    EXPECT_EQ(LineEdit()->text(), "16");
}

TEST_F(UnitDlg, PresetByteUnitWinsAndDisabledLineUnitIsWrittenBackUnchanged)
{
    m_settings.WriteSettingInt("config", "ByteUnit", 4);
    m_settings.WriteSettingInt("config", "LineUnit", 16);
    m_unit.m_nByteUnit = 3;
    m_unit.SetLineUnitEnabled(false);
    Show(m_dialog);

    EXPECT_EQ(ByteEdit()->text(), "3");
    EXPECT_EQ(LineEdit()->text(), "16");
    for (const int id : {IDC_LINE_UNIT, IDC_LINE_UNIT_LABEL, IDC_LINE_UNIT_SUFFIX}) {
        EXPECT_FALSE(m_dialog.Control(id)->isEnabled()) << id;
        EXPECT_TRUE(m_dialog.Control(id)->isVisible()) << id;
    }
    QTest::keyClick(ByteEdit(), Qt::Key_Return);
    EXPECT_EQ(m_dialog.result(), QDialog::Accepted);
    EXPECT_EQ(m_settings.ReadSettingInt("config", "ByteUnit", 1), 3);
    EXPECT_EQ(m_settings.ReadSettingInt("config", "LineUnit", 10), 16);
}

TEST_F(UnitDlg, DisabledLineUnitShowsTheStartOfALongValue)
{
    m_settings.WriteSettingInt("config", "LineUnit", 2147483647);
    m_unit.SetLineUnitEnabled(false);
    Show(m_dialog);
    ASSERT_EQ(LineEdit()->text(), "2147483647");
    ASSERT_LT(LineEdit()->width(), LineEdit()->fontMetrics().horizontalAdvance(LineEdit()->text()));
    EXPECT_EQ(LineEdit()->cursorPosition(), 0);
}

TEST_F(UnitDlg, DisabledLineUnitReplacesAStoredValueItWouldRefuse)
{
    m_settings.WriteSettingInt("config", "LineUnit", 0);
    m_unit.SetLineUnitEnabled(false);
    Show(m_dialog);
    EXPECT_EQ(LineEdit()->text(), "10");
    QTest::keyClick(ByteEdit(), Qt::Key_Return);
    EXPECT_EQ(m_dialog.result(), QDialog::Accepted);
    EXPECT_EQ(m_unit.m_nLineUnit, 10);
}

TEST_F(UnitDlg, OutOfRangePresetIsShownSilentlyAndRefusedUntilCorrected)
{
    m_unit.m_nByteUnit = 12;
    Show(m_dialog);
    EXPECT_EQ(ByteEdit()->text(), "12");
    EXPECT_TRUE(m_services.messages.empty());

    QTest::keyClick(ByteEdit(), Qt::Key_Return);
    ASSERT_EQ(m_services.messages.size(), 1u);
    EXPECT_EQ(m_services.messages[0], kEnterRange);
    EXPECT_EQ(m_services.messageOwners[0], &m_dialog);
    EXPECT_TRUE(m_dialog.isVisible());

    Type(ByteEdit(), "2");
    QTest::keyClick(ByteEdit(), Qt::Key_Return);
    EXPECT_EQ(m_dialog.result(), QDialog::Accepted);
    EXPECT_EQ(m_unit.m_nByteUnit, 2);
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

// One confirmation with the given texts in the two edit boxes.
struct ConfirmCase
{
    const char* byteText;
    const char* lineText;
    QString message;   // empty: accepted
    int failingId;     // the edit that gets the focus and the selection
    int byteUnitAfter;
    int lineUnitAfter;
};

class UnitDlgConfirm : public UnitDlg, public testing::WithParamInterface<ConfirmCase>
{
};

TEST_P(UnitDlgConfirm, ValidatesInExchangeOrder)
{
    const ConfirmCase& c = GetParam();
    m_unit.m_nByteUnit = 8;
    m_unit.m_nLineUnit = 80;
    Show(m_dialog);
    Type(ByteEdit(), QString::fromUtf8(c.byteText));
    Type(LineEdit(), QString::fromUtf8(c.lineText));
    QTest::keyClick(LineEdit(), Qt::Key_Return);

    EXPECT_EQ(m_unit.m_nByteUnit, c.byteUnitAfter);
    EXPECT_EQ(m_unit.m_nLineUnit, c.lineUnitAfter);
    if (c.message.isEmpty()) {
        EXPECT_TRUE(m_services.messages.empty());
        EXPECT_EQ(m_dialog.result(), QDialog::Accepted);
        EXPECT_EQ(m_settings.ReadSettingInt("config", "ByteUnit", 0), c.byteUnitAfter);
        EXPECT_EQ(m_settings.ReadSettingInt("config", "LineUnit", 0), c.lineUnitAfter);
        return;
    }
    EXPECT_EQ(m_services.messages, std::vector<QString>{c.message});
    EXPECT_TRUE(m_dialog.isVisible());
    EXPECT_FALSE(SettingsFileExists());
    QLineEdit* failing = m_dialog.Edit(c.failingId);
    EXPECT_EQ(QApplication::focusWidget(), failing);
    EXPECT_EQ(failing->selectedText(), failing->text());
}

INSTANTIATE_TEST_SUITE_P(Cases, UnitDlgConfirm,
    testing::Values(
        ConfirmCase{"4", "16", {}, 0, 4, 16},
        ConfirmCase{" 7 ", "\t10 ", {}, 0, 7, 10},
        ConfirmCase{"9", "1000000", {}, 0, 9, 1000000},
        ConfirmCase{"1", "1", {}, 0, 1, 1},
        ConfirmCase{"+3", "007", {}, 0, 3, 7},
        ConfirmCase{"7a", "abc", kEnterInteger, IDC_BYTE_UNIT, 8, 80},
        ConfirmCase{"", "16", kEnterInteger, IDC_BYTE_UNIT, 8, 80},
        ConfirmCase{"0x7", "16", kEnterInteger, IDC_BYTE_UNIT, 8, 80},
        ConfirmCase{"-0", "16", kEnterInteger, IDC_BYTE_UNIT, 8, 80},
        ConfirmCase{"0", "16", kEnterRange, IDC_BYTE_UNIT, 0, 80},
        ConfirmCase{"10", "16", kEnterRange, IDC_BYTE_UNIT, 10, 80},
        ConfirmCase{"-1", "x", kEnterRange, IDC_BYTE_UNIT, -1, 80},
        ConfirmCase{"3", "abc", kEnterInteger, IDC_LINE_UNIT, 3, 80},
        ConfirmCase{"3", "", kEnterInteger, IDC_LINE_UNIT, 3, 80},
        ConfirmCase{"3", "0", kEnterPositive, IDC_LINE_UNIT, 3, 0},
        ConfirmCase{"3", "-4", kEnterPositive, IDC_LINE_UNIT, 3, -4}));

} // namespace
