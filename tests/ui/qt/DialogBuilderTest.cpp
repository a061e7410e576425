#include "DialogBuilder.h"
#include "DialogTemplates.h"

#include <QDialog>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <tuple>
#include <vector>

namespace {

// Dialog units measured independently: a quarter of the alphabet's average
// width across, an eighth of the font height down.
QRect Expected(const QFontMetrics& metrics, const CControlTemplate& control)
{
    const double baseX = std::round(
        metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) / 52.0);
    const double baseY = metrics.height();
    const auto across = [&](int units) { return static_cast<int>(std::lround(units * baseX / 4)); };
    const auto down = [&](int units) { return static_cast<int>(std::lround(units * baseY / 8)); };
    return {across(control.x), down(control.y), across(control.width), down(control.height)};
}

const char* KindName(EControlKind kind)
{
    switch (kind) {
    case EControlKind::Edit: return "QLineEdit";
    case EControlKind::PushButton: return "QPushButton";
    case EControlKind::GroupBox: return "QGroupBox";
    case EControlKind::StaticText: return "QLabel";
    case EControlKind::ProgressBar: return "QProgressBar";
    }
    return "";
}

class DialogBuilder : public testing::TestWithParam<const CDialogTemplate*>
{};

TEST_P(DialogBuilder, PlacesEveryControlByTheFontsDialogUnits)
{
    const CDialogTemplate& dialogTemplate = *GetParam();
    QDialog dialog;
    BuildDialog(dialog, dialogTemplate);
    const QFontMetrics metrics(dialog.font());

    // Group boxes are lowered beneath the controls they frame, so compare
    // kinds and places regardless of order.
    std::vector<std::pair<std::string, QRect>> expected;
    for (const CControlTemplate& control : dialogTemplate.controls)
        expected.emplace_back(KindName(control.kind), Expected(metrics, control));
    std::vector<std::pair<std::string, QRect>> built;
    for (const QWidget* widget : dialog.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        built.emplace_back(widget->metaObject()->className(), widget->geometry());
    const auto byKindAndPlace = [](const auto& a, const auto& b) {
        return std::tuple(a.first, a.second.x(), a.second.y(), a.second.width(), a.second.height())
            < std::tuple(b.first, b.second.x(), b.second.y(), b.second.width(), b.second.height());
    };
    std::ranges::sort(expected, byKindAndPlace);
    std::ranges::sort(built, byKindAndPlace);
    EXPECT_EQ(built, expected);
    const CControlTemplate whole{0, EControlKind::GroupBox, "", 0, 0, 0, dialogTemplate.width, dialogTemplate.height};
    EXPECT_EQ(dialog.size(), Expected(metrics, whole).size());
    EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());
}

TEST_P(DialogBuilder, FontShowsHangulAtNinePoints)
{
    QDialog dialog;
    BuildDialog(dialog, *GetParam());
    EXPECT_EQ(dialog.font().pointSize(), 9);
    EXPECT_TRUE(QFontMetrics(dialog.font()).inFont(QChar(0xD30C)))  // 파
        << dialog.font().family().toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Templates, DialogBuilder, testing::Values(&MainDialogTemplate(), &UnitDialogTemplate(), &ProgressWindowTemplate()));

TEST(DialogBuilderStyles, DefaultAndFlatButtonsAndUnframedTexts)
{
    QDialog dialog;
    const auto controls = BuildDialog(dialog, MainDialogTemplate());
    auto* source = qobject_cast<QPushButton*>(controls.at(1001));
    auto* homePage = qobject_cast<QPushButton*>(controls.at(1007));
    ASSERT_TRUE(source && homePage);
    EXPECT_TRUE(source->isDefault());
    EXPECT_FALSE(homePage->isDefault());
    EXPECT_TRUE(homePage->isFlat());
    EXPECT_FALSE(source->isFlat());
    EXPECT_EQ(homePage->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(source->cursor().shape(), Qt::ArrowCursor);
    const auto labels = dialog.findChildren<QLabel*>();
    ASSERT_FALSE(labels.isEmpty());
    EXPECT_EQ(labels.first()->text(), QStringLiteral("Text 배열 파일을 반전\n  ( 예 : 0x5F → 0xA0 )"));
    EXPECT_EQ(controls.count(-1), 0u);
}

// The first row, from the top, where the frame's line is drawn right of the title.
int FrameLineRow(QGroupBox& group)
{
    const QImage image = group.grab().toImage();
    const QRgb background = image.pixel(image.width() / 2, image.height() / 2);
    const int column = image.width() - image.width() / 4;
    for (int row = 0; row < image.height(); ++row)
        if (image.pixel(column, row) != background)
            return row;
    return -1;
}

TEST(DialogBuilderStyles, GroupTitleSitsOnTheFrameLine)
{
    QDialog dialog;
    BuildDialog(dialog, MainDialogTemplate());
    for (QGroupBox* group : dialog.findChildren<QGroupBox*>()) {
        const int expected = group->title().isEmpty() ? 0 : group->fontMetrics().height() / 2;
        EXPECT_NEAR(FrameLineRow(*group), expected, 1) << group->title().toStdString();
    }
}

TEST(DialogBuilderStyles, FlatButtonShowsKeyboardFocus)
{
    QDialog dialog;
    const auto controls = BuildDialog(dialog, MainDialogTemplate());
    QWidget* homePage = controls.at(1007);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    controls.at(1000)->setFocus();
    const QImage unfocused = homePage->grab().toImage();
    homePage->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(homePage->hasFocus());
    EXPECT_NE(homePage->grab().toImage(), unfocused);
}

} // namespace
