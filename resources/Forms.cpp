#include "resources/Forms.h"

#include <QFile>

// The resource lives in a static library, so it must be registered before first use.
static void registerForms()
{
    Q_INIT_RESOURCE(forms);
}

namespace resources {

QByteArray sideBarForm()
{
    registerForms();
    QFile file(QStringLiteral(":/forms/SideBar.frm"));
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

} // namespace resources
