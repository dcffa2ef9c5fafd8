// refdata: builds the logbook's reference tables at build time.
//   refdata <cty.dat> <iota.tbl> <program folder>
// writes dxcc.db, iota.db and the empty callbook template Clbp.db into the program
// folder and nothing else.

#include "CtyDatParser.h"
#include "DxccTableBuilder.h"
#include "IotaTableParser.h"
#include "RefDataError.h"
#include "RefDataWriter.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTextStream>

namespace
{

QString readText(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw RefDataError(QStringLiteral("%1: %2").arg(path, file.errorString()));
    return QString::fromUtf8(file.readAll());
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QStringList args = app.arguments();
    if (args.size() != 4) {
        err << "usage: refdata <cty.dat> <iota.tbl> <program folder>\n";
        return 2;
    }
    const QDir target(args.at(3));
    try {
        if (!target.exists())
            throw RefDataError(QStringLiteral("%1: no such folder").arg(target.path()));

        const DxccTableBuilder dxcc(CtyDatParser::parse(readText(args.at(1))));
        const QList<IotaRow> iota = IotaTableParser::parse(readText(args.at(2)));

        RefDataWriter::writeDxcc(target.filePath(QStringLiteral("dxcc.db")), dxcc.rows(), dxcc.calls());
        RefDataWriter::writeIota(target.filePath(QStringLiteral("iota.db")), iota);
        RefDataWriter::writeCallBookTemplate(target.filePath(QStringLiteral("Clbp.db")));

        for (const QString &note : dxcc.notes())
            out << "refdata: " << note << '\n';
        out << "refdata: dxcc.db " << dxcc.rows().size() << " prefixes and " << dxcc.calls().size()
            << " exact calls, iota.db " << iota.size()
            << " islands, Clbp.db empty\n";
    } catch (const RefDataError &e) {
        err << "refdata: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
