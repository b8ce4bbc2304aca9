#include "history/logtext.h"

#include "format/currency.h"
#include "report/csvexport.h"
#include "search/textfold.h"

#include <QLocale>

#include <algorithm>

namespace movilibro::history {

namespace {

const QLocale Italian(QLocale::Italian, QLocale::Italy);

QString dateText(const QString& iso)
{
    const QDate date = QDate::fromString(iso, Qt::ISODate);
    return date.isValid() ? date.toString(QStringLiteral("dd/MM/yyyy")) : iso;
}

QString amountText(std::optional<qint64> raw)
{
    return raw && *raw ? Currency::fromRaw(*raw).toString(Italian) : QString();
}

bool aboutAccount(const LogLine& line)
{
    return line.item && line.item->kind == Item::Account && line.kind != Kind::Import;
}

} // namespace

QString operationText(const LogLine& line)
{
    const bool account = aboutAccount(line);
    switch (line.kind) {
    case Kind::New:
        return account ? QStringLiteral("Nuovo conto") : QStringLiteral("Nuova registrazione");
    case Kind::Change:
        return account ? QStringLiteral("Conto rinominato") : QStringLiteral("Modifica");
    case Kind::Delete:
        return account ? QStringLiteral("Conto nel cestino") : QStringLiteral("Eliminazione nel cestino");
    case Kind::Restore:
        return QStringLiteral("Ripristino dal cestino");
    case Kind::Undo:
        return QStringLiteral("Annullamento");
    case Kind::Redo:
        return QStringLiteral("Ripetizione");
    case Kind::Import:
        return QStringLiteral("Importazione");
    case Kind::Purge:
        return QStringLiteral("Eliminazione fino a una data");
    case Kind::EmptyBin:
        return QStringLiteral("Eliminazione definitiva dal cestino");
    }
    return {};
}

QString stateText(const LogLine& line, const State& state)
{
    if (state.place == Place::None)
        return {};
    const Values& v = state.values;
    QStringList parts;
    if (aboutAccount(line)) {
        parts << v.name;
    } else {
        parts << dateText(v.date) << v.name << v.description;
        if (const QString in = amountText(v.in); !in.isEmpty())
            parts << QStringLiteral("entrata ") + in;
        if (const QString out = amountText(v.out); !out.isEmpty())
            parts << QStringLiteral("uscita ") + out;
    }
    QString text = parts.join(QStringLiteral(" · "));
    if (state.place == Place::Bin)
        text += QStringLiteral(" (nel cestino)");
    return text;
}

QString itemText(const LogLine& line)
{
    if (!line.item)
        return {};
    return (line.item->kind == Item::Entry ? QStringLiteral("Registrazione %1") : QStringLiteral("Conto %1"))
        .arg(line.item->id);
}

bool LogFilter::matches(const LogLine& line) const
{
    if (kind && line.kind != *kind)
        return false;
    const QString haystack =
        search::foldText(QStringList{operationText(line), itemText(line), stateText(line, line.before),
                                     stateText(line, line.after), line.note}
                             .join(u'\n'));
    const QStringList words = search::foldText(text).split(u' ', Qt::SkipEmptyParts);
    return std::all_of(words.begin(), words.end(), [&](const QString& w) { return haystack.contains(w); });
}

bool writeLogCsv(const std::vector<LogLine>& lines, QIODevice& device)
{
    report::CsvWriter out;
    for (const char* caption : {"Quando", "Operazione", "Registrazione", "Conto", "Data prima", "Conto prima",
                                "Descrizione prima", "Entrate prima", "Uscite prima", "Data dopo",
                                "Conto dopo", "Descrizione dopo", "Entrate dopo", "Uscite dopo", "Nota"})
        out.addField(QByteArray(caption));
    out.endLine();
    const auto text = [&](const QString& t) { out.addQuoted(report::inertText(t).toUtf8()); };
    for (const LogLine& line : lines) {
        out.addField(line.when.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss")).toUtf8());
        text(operationText(line));
        const bool entry = line.item && line.item->kind == Item::Entry;
        out.addField(entry ? QByteArray::number(line.item->id) : QByteArray());
        text(aboutAccount(line) ? (line.after.place != Place::None ? line.after : line.before).values.name
                                : QString());
        for (const State* side : {&line.before, &line.after}) {
            const bool shown = entry && side->place != Place::None;
            const Values& v = side->values;
            out.addField(shown ? dateText(v.date).toUtf8() : QByteArray());
            text(shown ? v.name : QString());
            text(shown ? v.description : QString());
            text(shown ? amountText(v.in) : QString());
            text(shown ? amountText(v.out) : QString());
        }
        text(line.note);
        out.endLine();
    }
    return out.flushTo(device);
}

} // namespace movilibro::history
