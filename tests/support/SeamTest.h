#pragma once
// GoogleTest fixture with every seam replaced by its double. A test fails when it meets a
// message box or a file dialog it did not script, or leaves a scripted answer unused.

#include "tests/support/RecordingHelpViewer.h"
#include "tests/support/RecordingShellOpener.h"
#include "tests/support/RecordingStatusPanels.h"
#include "tests/support/ScriptedFileDialogs.h"
#include "tests/support/ScriptedMessages.h"

#include "tests/support/QtPrinters.h"

#include <gtest/gtest.h>

class SeamTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        EXPECT_TRUE(messages.unexpected().isEmpty())
            << "unexpected message box: " << messages.unexpected().join(" | ").toStdString();
        EXPECT_EQ(messages.unusedAnswers(), 0) << "a scripted message answer was not used";
        EXPECT_EQ(dialogs.unexpected(), 0) << "unexpected file dialog";
        EXPECT_EQ(dialogs.unusedAnswers(), 0) << "a scripted file dialog answer was not used";
    }

    // Expects exactly one box since the last call, and returns it.
    MessageRequest takeOnlyMessage()
    {
        EXPECT_EQ(messages.shown().size(), 1) << messages.texts().join(" | ").toStdString();
        MessageRequest r = messages.shown().isEmpty() ? MessageRequest{} : messages.shown().first();
        messages.clear();
        return r;
    }
    // Expects exactly one box since the last call, as given.
    void expectOnlyBox(const QString& text, MsgIcon icon, MsgButtons buttons = MsgButtons::Ok, int helpContext = 0)
    {
        const MessageRequest r = takeOnlyMessage();
        EXPECT_EQ(r.text, text);
        EXPECT_EQ(r.icon, icon);
        EXPECT_EQ(r.buttons, buttons);
        EXPECT_EQ(r.helpContext, helpContext);
    }

    ScriptedMessages messages;
    ScriptedFileDialogs dialogs;
    RecordingStatusPanels panels;
    RecordingHelpViewer help;
    RecordingShellOpener shell;
};
