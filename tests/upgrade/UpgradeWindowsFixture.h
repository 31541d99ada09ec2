#pragma once

#include "platform/ui/FontSubstitution.h"
#include "platform/ui/MessageBox.h"
#include "support/QStringPrint.h"
#include "upgrade/suSelfUpdaterMessages.h"
#include "upgrade/suSelfUpdaterPassword.h"
#include "upgrade/suSelfUpdaterUpgradeMsg.h"
#include "upgrade/suSelfUpdaterWizard.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QList>

#include <ostream>

// The upgrade windows in a known language under the title "Velmora", with
// message boxes recorded and answered from a script (Yes when it runs out).
class UpgradeWindowsFixture : public ::testing::Test
{
protected:
    struct Box
    {
        QString caption;
        QString text;
        platform::MessageButtons buttons;
        platform::MessageIcon icon;
    };

    void SetUp() override
    {
        static const bool fonts = (platform::installFontSubstitutions(), true);
        (void)fonts;
        m_title = QCoreApplication::applicationName();
        QCoreApplication::setApplicationName(QStringLiteral("Velmora"));
        suSetLanguage(wlEnglish);
        platform::setIconMessageHandler([this](const QString &caption, const QString &text,
                                               platform::MessageButtons buttons, platform::MessageIcon icon) {
            boxes.append({caption, text, buttons, icon});
            return answers.isEmpty() ? int(platform::mrYes) : answers.takeFirst();
        });
    }

    void TearDown() override
    {
        platform::setIconMessageHandler({});
        delete suSelfUpdaterWizardForm;
        delete suSelfUpdaterUpgradeMessageForm;
        delete suSelfUpdaterPasswordForm;
        suSetLanguage(wlEnglish);
        QCoreApplication::setApplicationName(m_title);
    }

    QList<Box> boxes;
    QList<int> answers;

private:
    QString m_title;
};
