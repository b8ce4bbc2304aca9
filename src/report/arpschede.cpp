#include "report/arpschede.h"

#include "db/periods.h"
#include "format/formatengine.h"

namespace movilibro::report {

namespace {

const QString Movilibro = QStringLiteral("mlMovilibro");
const QString Periodo = QStringLiteral("mlPeriodo");
const QString Conto = QStringLiteral("mlConto");
const QString Data = QStringLiteral("mlData");
const QString Entrate = QStringLiteral("mlEntrate");
const QString Uscite = QStringLiteral("mlUscite");
const QString Saldo = QStringLiteral("mlSaldo");

constexpr int TextHeight = 227;
constexpr int RuleRight = 10602;
constexpr QRgb ShadedBackground = 0xFFE0E0E0;
constexpr QRgb MarkerFill = 0xFFC0C0C0;
constexpr qreal CaptionSize = 7;
constexpr qreal TextSize = 8;
constexpr qreal AmountSize = 8.5;

const QStringList LevelTwoNames = {QStringLiteral("mese"), QStringLiteral("Bimestre"),
                                   QStringLiteral("Trimestre"), QStringLiteral("Quadrimestre"),
                                   QStringLiteral("Semestre")};
const QStringList LevelThreeNames = {QStringLiteral("mese"), QStringLiteral("bimestre"),
                                     QStringLiteral("trimestre"), QStringLiteral("quadrimestre"),
                                     QStringLiteral("semestre")};

QString groupName(int level)
{
    return QStringLiteral("GroupHeader%1").arg(level);
}

QString footerName(int level)
{
    return QStringLiteral("GroupFooter%1").arg(level);
}

QString levelSuffix(int level)
{
    return QStringLiteral("G%1").arg(level);
}

Control text(const QString& name, int left, int top, int width, qreal size, Qt::Alignment alignment,
             const QString& dataField = {})
{
    Control control = Control::field(name, QRect(left, top, width, TextHeight), dataField);
    control.fontSize = size;
    control.alignment = alignment;
    return control;
}

Control label(const QString& name, const QString& caption, int left, int width, Qt::Alignment alignment)
{
    Control control = Control::label(name, QRect(left, 340, width, TextHeight), caption);
    control.fontSize = CaptionSize;
    control.alignment = alignment;
    return control;
}

Control rule(const QString& name, int top)
{
    return Control::line(name, QLine(0, top, RuleRight, top));
}

Control shaded(Control control)
{
    control.background = ShadedBackground;
    return control;
}

Control sum(Control control, Summary summary, const QString& group)
{
    control.summary = summary;
    control.summaryGroup = group;
    return control;
}

// Amount columns, the same at every level: incomes, outgoings, sign, balance.
// Group headers print group sums; the detail prints the entry's amounts and
// the running balance.
void addAmountColumns(Band& band, const QString& suffix, Summary amounts, Summary balance,
                      const QString& group)
{
    band.add(sum(text(QStringLiteral("txtmlEntrate") + suffix, 6293, 0, 1304, AmountSize, Qt::AlignRight,
                      Entrate),
                 amounts, group))
        .outputFormat = arpSchede::IncomesFormat;
    band.add(sum(text(QStringLiteral("txtmlUscite") + suffix, 7597, 0, 1304, AmountSize, Qt::AlignRight,
                      Uscite),
                 amounts, group))
        .outputFormat = arpSchede::IncomesFormat;
    band.add(shaded(text(QStringLiteral("txtSegno") + suffix, 9071, 0, 227, AmountSize, Qt::AlignHCenter)));
    band.add(shaded(sum(text(QStringLiteral("txtmlSaldo") + suffix, 9298, 0, 1304, AmountSize, Qt::AlignRight,
                             Saldo),
                        balance, group)))
        .outputFormat = arpSchede::BalanceFormat;
}

QString signOf(const Value& balance)
{
    const Currency amount = amountOf(balance);
    if (amount > Currency()) {
        return QStringLiteral("+");
    }
    if (amount < Currency()) {
        return QStringLiteral("-");
    }
    return {};
}

void setSign(Band& band, const QString& balanceName, const QString& signName)
{
    band.at(signName).text = signOf(band.at(balanceName).value);
}

} // namespace

arpSchede::arpSchede()
{
    DataControl& data = dataControl();
    data.setFieldType(Data, FieldType::Date);
    data.setFieldType(Entrate, FieldType::Currency);
    data.setFieldType(Uscite, FieldType::Currency);
    data.setFieldType(Saldo, FieldType::Currency);
    restoreDesign();
}

void arpSchede::setPeriod(const QDate& start, const QDate& end)
{
    m_start = start;
    m_end = end;
}

void arpSchede::setDateGrouping(int kind)
{
    m_kind = normalizedKind(kind);
}

void arpSchede::restoreDesign()
{
    setTitle(QStringLiteral("Movilibro"));
    setPrintWidth(DesignedWidth);
    setBaseFont(QStringLiteral("Verdana"), 10);
    clearBands();
    designPageHeader();
    const int headerHeights[] = {540, 285, 285};
    const int footerHeights[] = {0, 240, 120};
    for (int level = 1; level <= 3; ++level) {
        Group& group =
            addGroup(groupName(level), headerHeights[level - 1], footerName(level), footerHeights[level - 1]);
        designGroupHeader(group.header, level);
    }
    groups()[0].header.setGroupField(Movilibro);
    designDetail();
    installHandlers();
}

void arpSchede::designPageHeader()
{
    Band& band = pageHeader();
    band.setHeight(750);
    band.add(label(QStringLiteral("Label1"), QStringLiteral("Data"), 57, 1077, Qt::AlignLeft));
    band.add(label(QStringLiteral("Label2"), QStringLiteral("Descrizione"), 1191, 1417, Qt::AlignLeft));
    band.add(label(QStringLiteral("Label3"), QStringLiteral("Conto"), 4592, 794, Qt::AlignLeft));
    band.add(label(QStringLiteral("Label4"), QStringLiteral("Entrate "), 6236, 1304, Qt::AlignRight));
    band.add(label(QStringLiteral("Label5"), QStringLiteral("Uscite "), 7540, 1304, Qt::AlignRight));
    band.add(
        label(QStringLiteral("Label6"), QStringLiteral("Saldo progressivo"), 9071, 1474, Qt::AlignRight));
    band.add(rule(QStringLiteral("Line1"), 567));
    Control pages = Control::field(QStringLiteral("Field1"), QRect(9638, 0, 907, 170));
    pages.fontSize = AmountSize;
    pages.alignment = Qt::AlignRight;
    pages.summary = Summary::PageCount;
    band.add(pages);
}

void arpSchede::designGroupHeader(Band& band, int level)
{
    const int indent = 170 * (level - 1);
    band.add(text(QStringLiteral("txtH%1").arg(level), indent, 0, 6236 - indent, AmountSize, Qt::AlignLeft));
    band.add(rule(QStringLiteral("Line%1").arg(level + 1), TextHeight));
    addAmountColumns(band, levelSuffix(level), Summary::GroupSum, Summary::GroupSum, band.name());
    if (level == 2) {
        band.add(Control::square(QStringLiteral("Shape1"), QRect(30, 55, 120, 120), MarkerFill));
    } else if (level == 3) {
        band.add(Control::square(QStringLiteral("Shape3"), QRect(190, 55, 120, 120), MarkerFill));
    }
}

void arpSchede::designDetail()
{
    Band& band = detail();
    band.setHeight(270);
    band.add(text(QStringLiteral("txtmlData"), 0, 0, 1134, TextSize, Qt::AlignLeft, Data));
    band.add(text(QStringLiteral("txtmlDescrizione"), 1134, 0, 3401, TextSize, Qt::AlignLeft,
                  QStringLiteral("mlDescrizione")));
    band.add(text(QStringLiteral("txtmlConto"), 4535, 0, 1758, TextSize, Qt::AlignLeft, Conto));
    addAmountColumns(band, {}, Summary::None, Summary::RunningGroupSum, groupName(3));
    band.add(rule(QStringLiteral("Line5"), TextHeight));
}

void arpSchede::installHandlers()
{
    Band& first = groups()[0].header;
    first.setBeforePrintHook([this](Band& band) { GroupHeader1_BeforePrint(band); });
    first.setFormatHook([this](Band& band) { GroupHeader1_Format(band); });
    Band& second = groups()[1].header;
    second.setBeforePrintHook([this](Band& band) { GroupHeader2_BeforePrint(band); });
    second.setFormatHook([this](Band& band) { GroupHeader2_Format(band); });
    Band& third = groups()[2].header;
    third.setBeforePrintHook([this](Band& band) { GroupHeader3_BeforePrint(band); });
    third.setFormatHook([this](Band& band) { GroupHeader3_Format(band); });
    detail().setBeforePrintHook([this](Band& band) { Detail_BeforePrint(band); });
}

void arpSchede::configure(int layout)
{
    restoreDesign();
    at(QStringLiteral("txtH1")).dataField = Movilibro;
    switch (layout) {
    case 0:
        hideGroup(2);
        hideGroup(3);
        at(QStringLiteral("txtmlSaldo")).summaryGroup = groupName(1);
        break;
    case 1:
    case 2:
        setGroup(2, layout == 1 ? Periodo : Conto, QStringLiteral("txtH2"));
        hideGroup(3);
        at(QStringLiteral("txtmlSaldo")).summaryGroup = groupName(2);
        break;
    case 3:
    case 4:
        setGroup(2, layout == 3 ? Periodo : Conto, QStringLiteral("txtH2"));
        setGroup(3, layout == 3 ? Conto : Periodo, QStringLiteral("txtH3"));
        at(QStringLiteral("txtmlSaldo")).summaryGroup = groupName(3);
        break;
    default:
        break;
    }
}

void arpSchede::setGroup(int level, const QString& field, const QString& captionName)
{
    groups()[size_t(level - 1)].header.setGroupField(field);
    at(captionName).dataField = field;
}

void arpSchede::hideGroup(int level)
{
    groups()[size_t(level - 1)].header.setVisible(false);
    groups()[size_t(level - 1)].footer.setVisible(false);
}

void arpSchede::setOutputFormats(const QString& incomes, const QString& balance)
{
    at(QStringLiteral("txtmlEntrate")).outputFormat = incomes;
    at(QStringLiteral("txtmlUscite")).outputFormat = incomes;
    at(QStringLiteral("txtmlSaldo")).outputFormat = balance;
    for (int level = 1; level <= 3; ++level) {
        at(QStringLiteral("txtmlEntrate") + levelSuffix(level)).outputFormat = incomes;
        at(QStringLiteral("txtmlUscite") + levelSuffix(level)).outputFormat = incomes;
        at(QStringLiteral("txtmlSaldo") + levelSuffix(level)).outputFormat = balance;
    }
}

void arpSchede::GroupHeader1_BeforePrint(Band& band)
{
    setSign(band, QStringLiteral("txtmlSaldoG1"), QStringLiteral("txtSegnoG1"));
}

void arpSchede::GroupHeader1_Format(Band& band)
{
    const QString pattern = QStringLiteral("dd\\/mm\\/yyyy");
    band.at(QStringLiteral("txtH1")).text = QStringLiteral("Movilibro dal ") +
                                            Format::date(m_start, pattern) + QStringLiteral(" al ") +
                                            Format::date(m_end, pattern);
}

void arpSchede::GroupHeader2_BeforePrint(Band& band)
{
    setSign(band, QStringLiteral("txtmlSaldoG2"), QStringLiteral("txtSegnoG2"));
}

void arpSchede::GroupHeader2_Format(Band& band)
{
    setPeriodCaption(band, QStringLiteral("txtH2"), LevelTwoNames);
}

void arpSchede::GroupHeader3_BeforePrint(Band& band)
{
    setSign(band, QStringLiteral("txtmlSaldoG3"), QStringLiteral("txtSegnoG3"));
}

void arpSchede::GroupHeader3_Format(Band& band)
{
    setPeriodCaption(band, QStringLiteral("txtH3"), LevelThreeNames);
}

void arpSchede::Detail_BeforePrint(Band& band)
{
    setSign(band, QStringLiteral("txtmlSaldo"), QStringLiteral("txtSegno"));
}

void arpSchede::setPeriodCaption(Band& band, const QString& captionName, const QStringList& names) const
{
    Control& caption = band.at(captionName);
    if (caption.dataField.compare(Periodo, Qt::CaseInsensitive) != 0) {
        return;
    }
    const QString key = caption.text;
    if (m_kind != 0) {
        caption.text = OrdinalName(key.right(1)) + u' ' + names[m_kind] + u' ' + key.left(4);
        return;
    }
    const QDate first(key.left(4).toInt(), key.right(2).toInt(), 1);
    if (first.isValid()) {
        caption.text = Format::date(first, QStringLiteral("mmmm yyyy"));
    }
}

} // namespace movilibro::report
