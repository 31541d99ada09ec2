#include "platform/db/ColumnStore.h"

#include <gtest/gtest.h>

using namespace platform::db;

TEST(ColumnStoreTest, HoldsTextNumbersNullsAndEdits)
{
    ColumnStore store(
        {{QStringLiteral("cName"), FieldType::WideString}, {QStringLiteral("iFlag"), FieldType::Integer}});
    EXPECT_EQ(store.columnIndex(QStringLiteral("IFLAG")), 1);
    EXPECT_EQ(store.columnIndex(QStringLiteral("none")), -1);
    for (int i = 0; i < 130; ++i) { // crosses two words of the null bitmap
        if (i % 3 == 0)
            store.appendNull(0);
        else
            store.appendText(0, std::to_string(i));
        if (i % 5 == 0)
            store.appendNull(1);
        else
            store.appendNumber(1, i + 0.5 * (i % 2));
        store.finishRow();
    }
    store.squeeze();
    ASSERT_EQ(store.rowCount(), 130);
    EXPECT_TRUE(store.isNull(129, 0));
    EXPECT_EQ(store.text(128, 0), "128");
    EXPECT_EQ(store.displayText(129, 0), QString());
    EXPECT_TRUE(store.isNull(125, 1));
    EXPECT_EQ(store.displayText(126, 1), QStringLiteral("126"));
    EXPECT_EQ(store.displayText(127, 1), QStringLiteral("127.5"));

    store.setText(129, 0, "新值");
    EXPECT_FALSE(store.isNull(129, 0));
    EXPECT_EQ(store.displayText(129, 0), QStringLiteral("新值"));
    EXPECT_EQ(store.text(128, 0), "128") << "an edit leaves its neighbours alone";
    store.setNull(128, 0);
    EXPECT_TRUE(store.isNull(128, 0));
}

TEST(ColumnStoreTest, CostsLittleMoreThanItsText)
{
    ColumnStore store({{QStringLiteral("a"), FieldType::WideString}, {QStringLiteral("b"), FieldType::Memo}});
    const std::string a = "北京光明软件实业有限公司";
    const std::string b(300, 'x');
    for (int i = 0; i < 10000; ++i) {
        store.appendText(0, a);
        store.appendText(1, b);
        store.finishRow();
    }
    store.squeeze();
    EXPECT_EQ(store.textBytes(), 10000 * (a.size() + b.size()));
    EXPECT_LT(double(store.memoryBytes()), 1.1 * double(store.textBytes()));
}
