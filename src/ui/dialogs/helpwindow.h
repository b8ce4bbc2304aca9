#pragma once

#include <QUrl>
#include <QWidget>

class QTextBrowser;
class QToolButton;

namespace movilibro {

// The program's help: Italian pages compiled into the program, shown in one
// window with links between them. Nothing is fetched from the network.
class HelpWindow : public QWidget
{
    Q_OBJECT
public:
    static inline const QString IndexPage = QStringLiteral("index.html");

    // Makes F1 open the help from every window of the program.
    static void installF1();
    // Opens (or brings forward) the help window on a page; an empty page
    // means the one about the active window.
    static HelpWindow* showHelp(const QString& page = {});
    // The window, when it is open.
    static HelpWindow* instance();
    // The page that tells about a window of the program.
    static QString pageFor(const QWidget* window);

    static QUrl pageUrl(const QString& page);
    QUrl currentPage() const;
    QTextBrowser* browser() const { return m_browser; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    explicit HelpWindow(QWidget* parent);
    void openPage(const QString& page);
    void keepOnScreen(const QWidget* near);
    void followLink(const QUrl& link);

    QTextBrowser* m_browser;
    QToolButton* m_back;
    QToolButton* m_forward;
    QToolButton* m_home;
};

} // namespace movilibro
