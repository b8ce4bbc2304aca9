#include "ui/charts/frmgrafici.h"

#include "report/reporterror.h"
#include "ui/charts/chartexport.h"
#include "ui/charts/chartsource.h"
#include "ui/charts/windowplace.h"
#include "ui/prompt/prompt.h"
#include "ui/report/exportfilechoice.h"

#include <QAbstractBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QCursor>
#include <QHBoxLayout>
#include <QHelpEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineSeries>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTimer>
#include <QToolTip>
#include <QVBoxLayout>

namespace movilibro {

using charts::ChartKind;

namespace {

const std::array<QString, 3> TabNames = {QStringLiteral("Saldo"), QStringLiteral("Entrate e uscite"),
                                         QStringLiteral("Per conto")};
const std::array<QString, 3> FileNames = {QStringLiteral("saldo"), QStringLiteral("entrate e uscite"),
                                          QStringLiteral("per conto")};

struct ImageFilter
{
    QString filter;
    QString suffix;
};
const std::array<ImageFilter, 3> ImageFilters = {
    {{QStringLiteral("Immagine PNG (*.png)"), QStringLiteral("png")},
     {QStringLiteral("Immagine SVG (*.svg)"), QStringLiteral("svg")},
     {QStringLiteral("Documento PDF (*.pdf)"), QStringLiteral("pdf")}}};

// A name with the suffix of a format keeps it; any other gets the chosen filter's.
QString withSuffix(const QString& chosen, const QString& filter)
{
    if (charts::exportFormatOf(chosen) != charts::ExportFormat::Unknown)
        return chosen;
    for (const ImageFilter& f : ImageFilters) {
        if (f.filter == filter)
            return chosen + u'.' + f.suffix;
    }
    return chosen + QStringLiteral(".png");
}

QString dayText(const QDate& day)
{
    return day.toString(QStringLiteral("dd/MM/yyyy"));
}

} // namespace

frmGrafici::frmGrafici(grid::GroupedGrid& gex, std::function<View()> view, Links links, QWidget* parent)
    : QWidget(parent, Qt::Window), m_gex(gex), m_view(std::move(view)), m_links(std::move(links))
{
    buildWindow();
}

void frmGrafici::buildWindow()
{
    setObjectName(QStringLiteral("frmGrafici"));
    setWindowTitle(QStringLiteral("Grafici del periodo - Movilibro"));
    resize(1000, 620);

    m_caption = new QLabel(this);
    m_caption->setObjectName(QStringLiteral("lblPeriodo"));
    m_caption->setTextFormat(Qt::PlainText); // a filter may hold "<"
    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("tabGrafici"));
    for (ChartKind kind : {ChartKind::Saldo, ChartKind::Flussi, ChartKind::Conti}) {
        auto* page = new QWidget(m_tabs);
        auto* layout = new QVBoxLayout(page);
        if (kind == ChartKind::Saldo) {
            m_perAccount = new QCheckBox(QStringLiteral("Per &conto"), page);
            m_perAccount->setObjectName(QStringLiteral("chkPerConto"));
            m_perAccount->setToolTip(QStringLiteral("Una linea del saldo per ogni conto"));
            connect(m_perAccount, &QCheckBox::toggled, this, [this] { draw(ChartKind::Saldo); });
            layout->addWidget(m_perAccount);
        }
        layout->addWidget(newView(kind), 1);
        m_tabs->addTab(page, TabNames[size_t(kind)]);
    }
    connect(m_tabs, &QTabWidget::currentChanged, this, &frmGrafici::showCaption);
    m_empty = new QLabel(QStringLiteral("Nessun dato nel periodo"), this);
    m_empty->setObjectName(QStringLiteral("lblVuoto"));
    m_empty->setAlignment(Qt::AlignCenter);
    m_pages = new QStackedWidget(this);
    m_pages->addWidget(m_tabs);
    m_pages->addWidget(m_empty);

    m_export = new QPushButton(QStringLiteral("&Esporta..."), this);
    m_export->setObjectName(QStringLiteral("cmdEsporta"));
    m_export->setToolTip(QStringLiteral("Salva il grafico visibile come immagine PNG, SVG o documento PDF"));
    auto* close = new QPushButton(QStringLiteral("C&hiudi"), this);
    close->setObjectName(QStringLiteral("cmdChiudi"));
    connect(m_export, &QPushButton::clicked, this, &frmGrafici::exportChart);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_export);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_caption);
    layout->addWidget(m_pages, 1);
    layout->addLayout(buttons);
}

QChartView* frmGrafici::newView(ChartKind kind)
{
    auto* view = new QChartView(this);
    static const char* const names[] = {"chartSaldo", "chartFlussi", "chartConti"};
    view->setObjectName(QLatin1String(names[size_t(kind)]));
    view->setRenderHint(QPainter::Antialiasing);
    view->viewport()->installEventFilter(this);
    m_views[size_t(kind)] = view;
    return view;
}

// The chart's items carry no tooltip: left to itself, the view would hide
// ours as soon as the pointer rests.
bool frmGrafici::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::ToolTip || m_tip.isEmpty())
        return QWidget::eventFilter(watched, event);
    const ChartKind kind = currentKind();
    if (watched != m_views[size_t(kind)]->viewport())
        return QWidget::eventFilter(watched, event);
    QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), m_tip, m_views[size_t(kind)]);
    return true;
}

void frmGrafici::showTip(ChartKind kind, const QString& text)
{
    m_tip = text;
    if (text.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(QCursor::pos(), text, m_views[size_t(kind)]);
}

ChartKind frmGrafici::currentKind() const
{
    return ChartKind(m_tabs->currentIndex());
}

void frmGrafici::journalChanged()
{
    m_dirty = true;
    // After the main window's reload has finished, and only for an open window.
    if (!isVisible() || m_scheduled)
        return;
    m_scheduled = true;
    QTimer::singleShot(0, this, [this] {
        m_scheduled = false;
        if (m_dirty && isVisible())
            refresh();
    });
}

void frmGrafici::showEvent(QShowEvent* event)
{
    if (!m_placed)
        place();
    QWidget::showEvent(event);
    if (m_dirty)
        refresh();
}

void frmGrafici::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    charts::rememberPlace(geometry());
}

void frmGrafici::place()
{
    m_placed = true;
    if (const std::optional<QRect> last = charts::rememberedPlace()) {
        setGeometry(*last);
        return;
    }
    QWidget* main = parentWidget() ? parentWidget()->window() : nullptr;
    QScreen* screen = main ? main->screen() : this->screen();
    if (!main || !screen)
        return;
    // Frames as the window system draws them; ours is not there before the first showing.
    const QMargins frame(main->geometry().left() - main->frameGeometry().left(),
                         main->geometry().top() - main->frameGeometry().top(),
                         main->frameGeometry().right() - main->geometry().right(),
                         main->frameGeometry().bottom() - main->geometry().bottom());
    const QRect outer =
        charts::besideOrCentred(main->frameGeometry(), size().grownBy(frame), screen->availableGeometry());
    move(outer.topLeft());
}

void frmGrafici::showCaption()
{
    QString caption = charts::chartCaption(m_shown.period, m_shown.filter);
    if (currentKind() == ChartKind::Flussi && !m_data.flowNote.isEmpty())
        caption += QStringLiteral(" · ") + m_data.flowNote;
    m_caption->setText(caption);
}

void frmGrafici::refresh()
{
    m_dirty = false;
    m_shown = m_view();
    QString emptyText = QStringLiteral("Nessun dato nel periodo");
    try {
        m_data = charts::chartDataOfGrid(m_gex, m_shown.period, m_shown.kind);
    } catch (const CurrencyOverflow&) {
        m_data = {};
        emptyText = QStringLiteral("Gli importi del periodo superano il valore massimo gestibile.");
    }
    m_empty->setText(emptyText);
    m_pages->setCurrentWidget(m_data.empty ? static_cast<QWidget*>(m_empty) : m_tabs);
    m_export->setEnabled(!m_data.empty);
    showCaption();
    for (ChartKind kind : {ChartKind::Saldo, ChartKind::Flussi, ChartKind::Conti})
        draw(kind);
}

void frmGrafici::draw(ChartKind kind)
{
    const size_t k = size_t(kind);
    m_built[k] = charts::buildChart(kind, m_data, kind == ChartKind::Saldo && m_perAccount->isChecked());
    QChart* old = m_views[k]->chart();
    m_views[k]->setChart(m_built[k].chart);
    delete old;
    wire(kind);
}

void frmGrafici::wire(ChartKind kind)
{
    const charts::BuiltChart& built = m_built[size_t(kind)];
    for (size_t i = 0; i < built.lines.size(); ++i) {
        connect(built.lines[i], &QLineSeries::hovered, this,
                [this, kind, i](const QPointF& point, bool state) { showLineTip(kind, i, point, state); });
    }
    if (!built.bars)
        return;
    connect(built.bars, &QAbstractBarSeries::hovered, this,
            [this, kind](bool status, int index, QBarSet*) { showBarTip(kind, status, index); });
    connect(built.bars, &QAbstractBarSeries::clicked, this,
            [this, kind](int index, QBarSet*) { onBarClicked(kind, index); });
}

void frmGrafici::showLineTip(ChartKind kind, size_t line, const QPointF& point, bool hovered)
{
    const charts::BalanceSeries& balance = m_data.balance;
    if (!hovered || balance.dayCount() == 0) {
        showTip(kind, {});
        return;
    }
    const QDateTime at = QDateTime::fromMSecsSinceEpoch(qint64(point.x()));
    const int day = std::clamp(int(balance.first.daysTo(at.date())), 0, balance.dayCount() - 1);
    const int account = m_built[size_t(kind)].lineAccounts[line];
    const auto& values = account < 0 ? balance.total : balance.perAccount[size_t(account)];
    const QString who = account < 0 ? QStringLiteral("Saldo") : balance.accounts[size_t(account)];
    showTip(kind, QStringLiteral("%1\n%2: %3")
                      .arg(dayText(balance.dayAt(day)), who, charts::amountText(values[size_t(day)])));
}

void frmGrafici::showBarTip(ChartKind kind, bool hovered, int index)
{
    if (!hovered || index < 0) {
        showTip(kind, {});
        return;
    }
    QString title;
    Currency in, out;
    if (kind == ChartKind::Flussi && size_t(index) < m_data.flows.size()) {
        const charts::FlowBar& bar = m_data.flows[size_t(index)];
        title = bar.caption;
        in = bar.incomes;
        out = bar.outgoings;
    } else if (kind == ChartKind::Conti && size_t(index) < m_data.accounts.size()) {
        // Drawn from the bottom up.
        const charts::AccountBar& bar = m_data.accounts[m_data.accounts.size() - 1 - size_t(index)];
        title = bar.account;
        in = bar.incomes;
        out = bar.outgoings;
    } else {
        return;
    }
    QString text = QStringLiteral("%1\nEntrate: %2\nUscite: %3")
                       .arg(title, charts::amountText(in), charts::amountText(out));
    try {
        text += QStringLiteral("\nNetto: ") + charts::amountText(in - out);
    } catch (const CurrencyOverflow&) {
    }
    showTip(kind, text);
}

void frmGrafici::onBarClicked(ChartKind kind, int index)
{
    const auto& items = m_built[size_t(kind)].barItems;
    if (index < 0 || size_t(index) >= items.size())
        return;
    showTip(kind, {});
    if (kind == ChartKind::Flussi) {
        const charts::FlowBar& bar = m_data.flows[size_t(index)];
        if (m_links.showPeriod)
            m_links.showPeriod({bar.first, bar.last});
    } else if (m_links.searchAccount) {
        m_links.searchAccount(items[size_t(index)]);
    }
}

void frmGrafici::exportChart()
{
    const ChartKind kind = currentKind();
    const QString format = QStringLiteral("dd-MM-yyyy");
    const QString proposed =
        report::exportStartFolder() + QStringLiteral("/Movilibro %1 %2 %3.png")
                                          .arg(FileNames[size_t(kind)], m_shown.period.start.toString(format),
                                               m_shown.period.end.toString(format));
    QStringList filters;
    for (const ImageFilter& f : ImageFilters)
        filters << f.filter;
    const auto chosen = report::askExportFile(this, filters, proposed, withSuffix);
    if (!chosen)
        return;
    try {
        charts::exportChart(kind, m_data, kind == ChartKind::Saldo && m_perAccount->isChecked(),
                            m_caption->text(), chosen->path);
        report::rememberExportFolder(chosen->path);
    } catch (const report::ReportError& e) {
        Prompt::instance().message(this, e.message(), MsgStyle::Ok);
    }
}

} // namespace movilibro
