// velmora-search: the search box's search from the terminal (see SearchCommand.h).

#include "app/SearchCommand.h"
#include "platform/os/AllocatorArenas.h"
#include "platform/os/ExecutablePath.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

int main(int argc, char *argv[])
{
    platform::limitAllocatorArenas();
    QCoreApplication application(argc, argv);
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    QTextStream out(stdout);
    QTextStream err(stderr);
    return RunSearchCommand(arguments, platform::executableFolder(), out, err);
}
