#include "platform/ui/QtTranslations.h"

#include <QDialogButtonBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

#include <gtest/gtest.h>

#include <memory>

// The toolkit's own texts in the program's windows: an edit's context menu
// and the buttons of a dialog.
TEST(QtTranslations, ContextMenusAndDialogButtonsSpeakChinese)
{
    ASSERT_TRUE(platform::installQtTranslations());

    QLineEdit edit(QStringLiteral("text"));
    const std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
    QStringList texts;
    for (const QAction *action : menu->actions())
        texts << action->text();
    EXPECT_TRUE(texts.filter(QStringLiteral("复制")).size() == 1) << texts.join('|').toStdString();
    EXPECT_TRUE(texts.filter(QStringLiteral("粘贴")).size() == 1) << texts.join('|').toStdString();
    EXPECT_TRUE(texts.filter(QStringLiteral("Copy")).isEmpty()) << texts.join('|').toStdString();

    QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Yes);
    EXPECT_EQ(buttons.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("取消"));
    EXPECT_TRUE(buttons.button(QDialogButtonBox::Yes)->text().contains(QStringLiteral("是")));
}
