#include "PathEdit.h"

#include <QCoreApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

struct DropCase
{
    Qt::DropActions possible;
    bool taken;
    Qt::DropAction performed;  // when taken
};

class PathEditDrop : public testing::TestWithParam<DropCase>
{
protected:
    CPathEdit m_edit;
    QMimeData m_data;
    const QString m_path = QStringLiteral("/home/kim/data file.bin");

    PathEditDrop()
    {
        m_edit.setText(QStringLiteral("old"));
        m_data.setUrls({QUrl::fromLocalFile(m_path)});
        m_data.setText(m_path);
    }

    // Sends the event and checks whether the edit box took it, as what.
    void Expect(QDropEvent& event)
    {
        if (GetParam().possible & Qt::MoveAction) {
            ASSERT_EQ(event.proposedAction(), Qt::MoveAction);
        }
        QCoreApplication::sendEvent(&m_edit, &event);
        EXPECT_EQ(event.isAccepted(), GetParam().taken) << event.type();
        if (GetParam().taken) {
            EXPECT_EQ(event.dropAction(), GetParam().performed) << event.type();
        }
    }
};

TEST_P(PathEditDrop, TakesACopyOrALinkOfAFileButNeverAMove)
{
    // Shift proposes a move wherever the source offers one.
    const QPoint at(5, 5);
    const Qt::KeyboardModifiers shift = Qt::ShiftModifier;
    QDragEnterEvent enter(at, GetParam().possible, &m_data, Qt::LeftButton, shift);
    Expect(enter);
    QDragMoveEvent move(at, GetParam().possible, &m_data, Qt::LeftButton, shift);
    Expect(move);
    QDropEvent drop(at, GetParam().possible, &m_data, Qt::LeftButton, shift);
    Expect(drop);
    EXPECT_EQ(m_edit.text(), GetParam().taken ? m_path : QStringLiteral("old"));
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Actions, PathEditDrop,
    testing::Values(
        DropCase{Qt::MoveAction, false, Qt::IgnoreAction},
        DropCase{Qt::CopyAction | Qt::MoveAction, true, Qt::CopyAction},
        DropCase{Qt::CopyAction | Qt::LinkAction | Qt::MoveAction, true, Qt::CopyAction},
        DropCase{Qt::LinkAction | Qt::MoveAction, true, Qt::LinkAction},
        DropCase{Qt::CopyAction, true, Qt::CopyAction},
        DropCase{Qt::LinkAction, true, Qt::LinkAction}));
// clang-format on

} // namespace
