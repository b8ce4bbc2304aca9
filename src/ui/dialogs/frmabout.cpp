#include "ui/dialogs/frmabout.h"

#include "app/mainmod.h"
#include "ui/dialogs/dialogstyle.h"

#include <QDesktopServices>
#include <QFile>
#include <QFrame>
#include <QGridLayout>
#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace movilibro {

namespace {
const QString IconPath = QStringLiteral(":/icons/movilibro.svg");
} // namespace

LinkLabel::LinkLabel(QWidget* parent) : QLabel(parent)
{
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
    QPalette p = palette();
    p.setColor(QPalette::WindowText, p.color(QPalette::Link));
    setPalette(p);
    QFont f = font();
    f.setUnderline(true);
    setFont(f);
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    QLabel::mouseReleaseEvent(event);
}

void LinkLabel::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter || event->key() == Qt::Key_Space) {
        emit clicked();
        return;
    }
    QLabel::keyPressEvent(event);
}

frmAbout::frmAbout(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFont(dialogstyle::verdana());

    SSTab1 = new QTabWidget(this);
    SSTab1->setObjectName(QStringLiteral("SSTab1"));
    auto* page = new QWidget;
    SSTab1->addTab(page, QStringLiteral("Info"));

    Frame1 = new QFrame(page);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setFrameShape(QFrame::StyledPanel);
    Image1 = new QLabel(Frame1);
    Image1->setObjectName(QStringLiteral("Image1"));
    if (QFile::exists(IconPath))
        Image1->setPixmap(QIcon(IconPath).pixmap(64, 64));
    lblTitle = new QLabel(QStringLiteral("Titolo applicazione"), Frame1);
    lblTitle->setObjectName(dialogstyle::element(QStringLiteral("lblTitle"), 0));
    lblTitle->setFont(dialogstyle::tahoma(14));
    lblVersion = new QLabel(QStringLiteral("Versione"), Frame1);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    Label = new QLabel(QStringLiteral("File di Database:"), Frame1);
    Label->setObjectName(QStringLiteral("Label"));
    lblDBPath = new QLineEdit(QStringLiteral("lblDBPath"), Frame1);
    lblDBPath->setObjectName(QStringLiteral("lblDBPath"));
    lblDBPath->setReadOnly(true);
    lblWeb = new LinkLabel(Frame1);
    lblWeb->setObjectName(QStringLiteral("lblWeb"));
    lblWeb->setText(WebSite.host());
    lblWeb->setToolTip(WebSite.toString());
    lblWeb->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);

    auto* frameGrid = new QGridLayout(Frame1);
    frameGrid->addWidget(Image1, 0, 0, 2, 1, Qt::AlignTop);
    frameGrid->addWidget(lblTitle, 0, 1);
    frameGrid->addWidget(lblVersion, 1, 1);
    frameGrid->addWidget(Label, 2, 0, 1, 2);
    frameGrid->addWidget(lblDBPath, 3, 0, 1, 2);
    frameGrid->addWidget(lblWeb, 4, 0, 1, 2);
    frameGrid->setColumnStretch(1, 1);
    auto* pageLayout = new QVBoxLayout(page);
    pageLayout->addWidget(Frame1);

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(SSTab1);
    layout->addWidget(cmdOK, 0, Qt::AlignRight);
    setFixedSize(std::max(420, sizeHint().width()), sizeHint().height());

    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(lblWeb, &LinkLabel::clicked, this, &frmAbout::openWebSite);
}

QString frmAbout::versionText()
{
    return QStringLiteral("Versione: %1.%2.%3")
        .arg(MOVILIBRO_VERSION_MAJOR)
        .arg(MOVILIBRO_VERSION_MINOR)
        .arg(MOVILIBRO_VERSION_PATCH);
}

void frmAbout::load()
{
    setWindowTitle(mainmod::AppTitle);
    lblVersion->setText(versionText());
    lblTitle->setText(mainmod::AppTitle);
    lblDBPath->setText(mainmod::databaseFilePath());
    lblDBPath->setCursorPosition(0);
}

void frmAbout::Mostra()
{
    load();
    cmdOK->setFocus(Qt::OtherFocusReason);
    exec();
}

void frmAbout::openWebSite()
{
    QGuiApplication::setOverrideCursor(Qt::BusyCursor);
    QDesktopServices::openUrl(WebSite);
    QGuiApplication::restoreOverrideCursor();
}

} // namespace movilibro
