#pragma once

#include "AppFixture.h"

#include "navbar/nbSideBar.h"

#include <QTest>

// A shown main window over a small company database, its splash passed.
class MainFormFixture : public AppFixture
{
protected:
    void SetUp() override
    {
        AppFixture::SetUp();
        ASSERT_NO_FATAL_FAILURE(startMainForm({
            testdb::companyInsert(QStringLiteral("北京光明软件实业有限公司"), QStringLiteral("北京市"), 1),
            testdb::companyInsert(QStringLiteral("安徽机械厂"), QStringLiteral("安徽省"), 0),
            testdb::companyInsert(QStringLiteral("安徽诚信化工"), QStringLiteral("安徽省"), 1),
        }));
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        bar = form->SideBar;
        // The bar lays its buttons out when it paints.
        ASSERT_TRUE(QTest::qWaitFor([this] { return !bar->Header(0)->Button(6)->ButtonRect.IsEmpty(); }));
    }
    static QPoint centre(const platform::Rect &r) { return r.ToQRect().center(); }
    // A click on the bar as the user makes it: the mouse comes, then presses and releases.
    // Where an earlier window left the pointer at the point, the move delivers nothing and
    // the press alone finds the button.
    void clickBar(const QPoint &p)
    {
        QTest::mouseMove(bar, p);
        QTest::mouseClick(bar, Qt::LeftButton, {}, p);
    }
    void clickBarButton(int index) { clickBar(centre(bar->Header(0)->Button(index)->ButtonRect)); }

    QStringList visiblePanels() const
    {
        QStringList names;
        for (QWidget *p : form->ContentPanels())
            if (p->isVisible())
                names << p->objectName();
        return names;
    }

    TnbSideBar *bar = nullptr;
};
