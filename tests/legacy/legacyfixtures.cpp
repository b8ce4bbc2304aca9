#include "legacyfixtures.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

namespace movilibro::test {

QString legacyFixtures()
{
    return QStringLiteral(MOVILIBRO_LEGACY_FIXTURES);
}

QString legacyFixture(const QString& name)
{
    return legacyFixtures() + u'/' + name + QStringLiteral(".mdb");
}

LegacyExpectation legacyExpectation(const QString& name)
{
    QFile file(legacyFixtures() + u'/' + name + QStringLiteral(".expected.json"));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(file.fileName()));
    const QJsonObject o = QJsonDocument::fromJson(file.readAll()).object();
    LegacyExpectation x;
    x.entries = o.value(QStringLiteral("entries")).toInt(-1);
    x.accounts = o.value(QStringLiteral("accounts")).toInt(-1);
    x.orphans = o.value(QStringLiteral("orphans")).toInt(-1);
    x.listed = o.value(QStringLiteral("listed")).toInt(-1);
    x.nullBoth = o.value(QStringLiteral("null_both")).toInt(-1);
    x.sumIn = o.value(QStringLiteral("sum_in_10000")).toInteger(-1);
    x.sumOut = o.value(QStringLiteral("sum_out_10000")).toInteger(-1);
    x.layout = o.value(QStringLiteral("gexlayout")).toInt(-1);
    x.startingMonth = o.value(QStringLiteral("startingmonth")).toInt(-1);
    x.dateGrouping = o.value(QStringLiteral("dategrouping")).toInt(-1);
    return x;
}

void writeTruncated(const QString& source, const QString& target, qint64 size)
{
    QFile in(source);
    QFile out(target);
    if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly) || out.write(in.read(size)) != size)
        qFatal("cannot write %s", qPrintable(target));
}

QStringList folderContents(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

} // namespace movilibro::test
