// The DX-cluster client program: everything happens in WendraProgramBlock.

#include "MessageDialog.h"
#include "WendraProgram.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    installMessageDialog();
    QTranslator qtTranslator;
    if (qtTranslator.load(QLocale(QLocale::Czech), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslator);
    return WendraProgramBlock(QCoreApplication::arguments().mid(1));
}
