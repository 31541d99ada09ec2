// make_sidebar_form FILE [PREVIEW.png]: writes the stored form of the main window's side
// bar (resources/forms/SideBar.frm) and, when asked, a picture of the bar loaded from it.

#include "app/MainSideBarDesign.h"
#include "navbar/nbSideBar.h"
#include "platform/ui/FontSubstitution.h"
#include "platform/ui/FormOwner.h"
#include "platform/ui/ImageList.h"
#include "resources/Pictures.h"

#include <QApplication>
#include <QBuffer>
#include <QFile>
#include <cstdio>

namespace {

// Loads the stored bar the way the main window does and paints it at its size there.
bool WritePreview(const QByteArray &form, const QString &path)
{
    QObject owner;
    auto *images = new platform::ImageList(32, 32, &owner);
    images->setObjectName(QStringLiteral("Img32"));
    for (int i = 0; i < 7; ++i)
        images->Add(resources::barImage(i));
    platform::FormOwner methods(&owner);
    for (const QByteArray &name : mainsidebar::HandlerNames())
        methods.AddMethod<void(platform::Persistent *)>(name, [](platform::Persistent *) {});

    TnbSideBar bar;
    bar.SetOwnerForm(&methods);
    QByteArray data = form;
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    bar.LoadFromStream(buffer);
    bar.resize(bar.width(), 490);
    return bar.PaintImage().save(path);
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    platform::installFontSubstitutions();
    const QStringList args = app.arguments();
    if (args.size() < 2 || args.size() > 3) {
        std::fprintf(stderr, "usage: make_sidebar_form FILE [PREVIEW.png]\n");
        return 1;
    }
    const QByteArray form = mainsidebar::StoredForm();
    QFile file(args[1]);
    if (!file.open(QIODevice::WriteOnly) || file.write(form) != form.size()) {
        std::fprintf(stderr, "make_sidebar_form: cannot write %s\n", qPrintable(args[1]));
        return 1;
    }
    file.close();
    if (args.size() == 3 && !WritePreview(form, args[2])) {
        std::fprintf(stderr, "make_sidebar_form: cannot write %s\n", qPrintable(args[2]));
        return 1;
    }
    std::printf("%s: %lld bytes\n", qPrintable(args[1]), static_cast<long long>(form.size()));
    return 0;
}
