#include "ui/dialogs/helpwindow.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPointer>
#include <QScreen>
#include <QTextBrowser>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace movilibro {

namespace {

QPointer<HelpWindow> g_window;

// F1 anywhere in the program: the help about the window it was pressed in.
class F1Filter : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() != Qt::Key_F1 || key->modifiers() != Qt::NoModifier || key->isAutoRepeat())
            return false;
        QWidget* widget = qobject_cast<QWidget*>(watched);
        HelpWindow::showHelp(HelpWindow::pageFor(widget ? widget->window() : QApplication::activeWindow()));
        return true;
    }
};

QToolButton* navigationButton(const QString& text, const QString& tip, QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setText(text);
    button->setToolTip(tip);
    button->setAutoRaise(true);
    return button;
}

} // namespace

void HelpWindow::installF1()
{
    static F1Filter* filter = nullptr;
    if (!filter) {
        filter = new F1Filter(qApp);
        qApp->installEventFilter(filter);
    }
}

QString HelpWindow::pageFor(const QWidget* window)
{
    static const QHash<QString, QString> pages = {
        {QStringLiteral("frmScadenze"), QStringLiteral("registrazioni.html")},
        {QStringLiteral("frmConto"), QStringLiteral("conti.html")},
        {QStringLiteral("frmDelClosedRows"), QStringLiteral("eliminazione.html")},
        {QStringLiteral("frmOptions"), QStringLiteral("preferenze.html")},
        {QStringLiteral("frmImporta"), QStringLiteral("importazione.html")},
        {QStringLiteral("frmGrafici"), QStringLiteral("grafici.html")},
        {QStringLiteral("frmCestino"), QStringLiteral("cestino.html")},
        {QStringLiteral("frmCronologia"), QStringLiteral("cestino.html")},
        {QStringLiteral("frmQuadratura"), QStringLiteral("quadratura.html")},
        {QStringLiteral("frmContaCassa"), QStringLiteral("quadratura.html")},
    };
    if (!window || qobject_cast<const HelpWindow*>(window))
        return {};
    return pages.value(window->objectName(), IndexPage);
}

QUrl HelpWindow::pageUrl(const QString& page)
{
    return QUrl(QStringLiteral("qrc:/help/") + page);
}

HelpWindow* HelpWindow::instance()
{
    return g_window;
}

HelpWindow* HelpWindow::showHelp(const QString& page)
{
    // While a dialog is modal every other window is blocked: the help then
    // belongs to that dialog so it can still be read and scrolled.
    QWidget* owner = QApplication::activeModalWidget();
    if (!g_window)
        g_window = new HelpWindow(owner);
    else if (g_window->parentWidget() != owner) {
        const QRect geometry = g_window->geometry();
        g_window->setParent(owner, Qt::Window);
        g_window->setGeometry(geometry);
    }
    if (!page.isEmpty() || g_window->currentPage().isEmpty())
        g_window->openPage(page.isEmpty() ? IndexPage : page);
    g_window->keepOnScreen(owner ? owner : QApplication::activeWindow());
    g_window->show();
    g_window->raise();
    g_window->activateWindow();
    return g_window;
}

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("Guida di Movilibro"));
    setAttribute(Qt::WA_DeleteOnClose);

    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("helpBrowser"));
    // Links are followed here, so that nothing outside the pages is ever loaded.
    m_browser->setOpenLinks(false);
    m_back = navigationButton(QStringLiteral("◀ Indietro"),
                              QStringLiteral("Pagina precedente (Alt+Sinistra)"), this);
    m_forward =
        navigationButton(QStringLiteral("Avanti ▶"), QStringLiteral("Pagina successiva (Alt+Destra)"), this);
    m_home = navigationButton(QStringLiteral("Sommario"), QStringLiteral("Indice della guida"), this);
    m_back->setObjectName(QStringLiteral("helpBack"));
    m_forward->setObjectName(QStringLiteral("helpForward"));
    m_home->setObjectName(QStringLiteral("helpHome"));
    m_back->setEnabled(false);
    m_forward->setEnabled(false);

    auto* bar = new QHBoxLayout;
    bar->addWidget(m_back);
    bar->addWidget(m_forward);
    bar->addWidget(m_home);
    bar->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(m_browser);
    resize(640, 560);

    connect(m_back, &QToolButton::clicked, m_browser, &QTextBrowser::backward);
    connect(m_forward, &QToolButton::clicked, m_browser, &QTextBrowser::forward);
    connect(m_home, &QToolButton::clicked, this, [this] { openPage(IndexPage); });
    connect(m_browser, &QTextBrowser::backwardAvailable, m_back, &QToolButton::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, m_forward, &QToolButton::setEnabled);
    connect(m_browser, &QTextBrowser::anchorClicked, this, &HelpWindow::followLink);
}

// Whole on the screen of the window it helps with, however small that is.
void HelpWindow::keepOnScreen(const QWidget* near)
{
    const QScreen* screen = near ? near->screen() : this->screen();
    if (!screen)
        return;
    const QRect room = screen->availableGeometry();
    const QSize frame = frameGeometry().size() - size();
    resize(size().boundedTo(room.size() - frame));
    const QRect outer = frameGeometry();
    move(std::clamp(outer.left(), room.left(), room.right() + 1 - outer.width()),
         std::clamp(outer.top(), room.top(), room.bottom() + 1 - outer.height()));
}

void HelpWindow::followLink(const QUrl& link)
{
    const QUrl target = m_browser->source().resolved(link);
    if (target.scheme() == QLatin1String("qrc"))
        m_browser->setSource(target);
}

void HelpWindow::openPage(const QString& page)
{
    m_browser->setSource(pageUrl(page));
}

QUrl HelpWindow::currentPage() const
{
    return m_browser->source();
}

void HelpWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace movilibro
