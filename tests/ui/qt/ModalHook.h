#pragma once

#include "QtDialog.h"

#include <QApplication>
#include <QDialog>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <type_traits>

// Acts on the next modal dialog from inside its own event loop, the way a
// user would answer it. The action must close the dialog; a dialog left open
// fails the test and is cancelled so that the test cannot hang. Nothing
// happens if no event loop runs while the hook lives; until the dialog
// opens (after work run with progress, say), the hook keeps looking.
template <class TDialog = CQtDialog>
class CModalHook
{
public:
    // The action's type is not deduced, so a plain CModalHook answers the
    // program's own dialogs.
    explicit CModalHook(std::type_identity_t<std::function<void(TDialog&)>> action)
        : m_action(std::move(action))
    {
        m_timer.setSingleShot(true);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { Run(); });
        m_timer.start(0);
    }

    bool Ran() const { return m_bRan; }

private:
    void Run()
    {
        auto* dialog = dynamic_cast<TDialog*>(QApplication::activeModalWidget());
        if (!dialog) {
            m_timer.start(kLookAgainMilliseconds);
            return;
        }
        m_bRan = true;
        m_action(*dialog);
        if (dialog->isVisible()) {
            ADD_FAILURE() << "the modal dialog was left open";
            dialog->reject();
        }
    }

    static constexpr int kLookAgainMilliseconds = 10;

    std::function<void(TDialog&)> m_action;
    QTimer m_timer;
    bool m_bRan = false;
};
