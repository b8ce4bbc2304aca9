#pragma once

#include <QDialog>
#include <QLabel>
#include <QUrl>

class QFrame;
class QLineEdit;
class QPushButton;
class QTabWidget;

namespace movilibro {

// A label that reads as a link and opens on a click or on Enter or Space.
class LinkLabel : public QLabel
{
    Q_OBJECT
public:
    explicit LinkLabel(QWidget* parent = nullptr);

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

// The About box: title, version, the journal file in use, the web site.
class frmAbout : public QDialog
{
    Q_OBJECT
public:
    static inline const QUrl WebSite = QUrl(QStringLiteral("https://www.movilibro.it"));

    explicit frmAbout(QWidget* parent = nullptr);

    // Reads title, version and database path afresh and shows the box modally.
    void Mostra();
    void load();

    static QString versionText();

private:
    void openWebSite();

    QTabWidget* SSTab1;
    QLabel* Image1;
    QLabel* lblTitle;
    QLabel* lblVersion;
    QLabel* Label;
    QLineEdit* lblDBPath;
    LinkLabel* lblWeb;
    QFrame* Frame1;
    QPushButton* cmdOK;
};

} // namespace movilibro
