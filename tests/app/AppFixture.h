#pragma once

#include "app/AppTitle.h"
#include "platform/ui/FontSubstitution.h"
#include "platform/ui/MessageBox.h"

#include "app/uDMForm.h"
#include "app/uFmMainForm.h"
#include "app/uFmflash.h"
#include "support/TempDir.h"
#include "support/TestDatabase.h"
#include <QCoreApplication>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <memory>

// A data module over a company database in a temporary folder; the
// message boxes are recorded instead of shown.
class AppFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // The fonts the program runs with, for every text that must fit.
        static const bool fonts = (platform::installFontSubstitutions(), true);
        (void)fonts;
        QCoreApplication::setApplicationName(QString::fromUtf8(kApplicationTitle));
        // The window state the program keeps goes to the test's own folder.
        m_configHome = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", dir.file(QStringLiteral("config")).toLocal8Bit());
        platform::setMessageHandler(
            [this](const QString &caption, const QString &text, platform::MessageButtons) {
                messages << caption + QLatin1Char('|') + text;
                return int(platform::mrOk);
            });
    }
    void TearDown() override
    {
        form.reset();
        platform::setMessageHandler({});
        if (m_configHome.isEmpty())
            qunsetenv("XDG_CONFIG_HOME");
        else
            qputenv("XDG_CONFIG_HOME", m_configHome);
    }

    QString folder() const { return dir.path() + QLatin1Char('/'); }

    void writeDatabase(const QStringList &rows, const QString &key = testdb::kPassword)
    {
        QStringList statements{testdb::companyTableSql()};
        statements += rows;
        testdb::create(dir.file(QStringLiteral("dorvak.dat")), key, 4096, statements);
    }

    void createDataModule()
    {
        dm = std::make_unique<TDMForm>(folder());
        dm->DataModuleCreate();
    }

    // Creates the main window as the program does; the splash is passed at
    // once through its "进入Velmora" button, as an impatient user would.
    static std::unique_ptr<TFmMainForm> createMainForm()
    {
        auto form = std::make_unique<TFmMainForm>();
        QTimer::singleShot(0, form.get(), [] {
            if (Fmflash)
                Fmflash->SpdBtn_In->click();
        });
        form->FormCreate();
        return form;
    }

    // The company database of `rows`, the data module over it and the main
    // window in `form`, created as the program creates them (not yet shown).
    // Call it under ASSERT_NO_FATAL_FAILURE.
    void startMainForm(const QStringList &rows)
    {
        writeDatabase(rows);
        createDataModule();
        ASSERT_FALSE(dm->FOpenFailed);
        form = createMainForm();
    }

    TempDir dir;
    QStringList messages;
    std::unique_ptr<TDMForm> dm;
    std::unique_ptr<TFmMainForm> form;

private:
    QByteArray m_configHome;
};
