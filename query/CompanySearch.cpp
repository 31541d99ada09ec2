#include "query/CompanySearch.h"

#include "store/TableSearch.h"

using platform::db::DbQuery;

std::vector<DbQuery::SearchField> CompanySearchFields()
{
    const auto field = [](const char *name, bool pinyin, bool isName) {
        return DbQuery::SearchField{QLatin1String(name), pinyin, isName};
    };
    // The names first: a company found there is looked for no further, and
    // comes first. Then the short fields, then the long ones, the profile
    // last: the fewer companies are left to look for in a long field, the
    // more of its cells are passed over.
    return {
        field("cCorpCName", true, true),  field("cCorpEName", false, true), field("cTel", false, false),
        field("cFax", false, false),      field("cZip", false, false),      field("cAreaNo", false, false),
        field("cArea", false, false),     field("cProvince", false, false), field("cTypeName", false, false),
        field("cManager", false, false),  field("cEmail", false, false),    field("cHttp", false, false),
        field("cMainProd", true, false),  field("cCAdd", true, false),      field("cEAdd", false, false),
        field("cCorpMemo", false, false),
    };
}

QStringList CompanyReadingColumns()
{
    QStringList names;
    for (const DbQuery::SearchField &f : CompanySearchFields())
        if (f.pinyin)
            names << f.name;
    return names;
}

void ApplyCompanySearch(DbQuery *companies, const QString &text)
{
    store::SearchQuery query = store::SearchQuery::parse(text.toStdString());
    if (query.empty()) {
        if (companies->search())
            companies->setSearch(nullptr, {});
        return;
    }
    companies->setSearch(std::make_shared<store::TableSearch>(std::move(query)), CompanySearchFields());
}
