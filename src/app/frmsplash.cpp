#include "app/frmsplash.h"

#include "app/mainmod.h"

#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

namespace movilibro {

frmSplash::frmSplash(QWidget* parent) : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("frmSplash"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    auto* shape = new QFrame(this);
    shape->setObjectName(QStringLiteral("Shape1"));
    shape->setFrameShape(QFrame::Box);
    shape->setStyleSheet(QStringLiteral("#Shape1 { border: 1px solid #6b8e5a; background: #f1ffe8; }"));

    Image1 = new QLabel(shape);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(QIcon(QStringLiteral(":/icons/movilibro.svg")).pixmap(96, 96));

    QFont tahoma(QStringLiteral("Tahoma"));
    Label1 = new QLabel(shape);
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont titleFont = tahoma;
    titleFont.setPointSizeF(20);
    titleFont.setBold(true);
    Label1->setFont(titleFont);
    Label1->setText(mainmod::ApplicationTitle);

    lblloading = new QLabel(QStringLiteral("... loading"), shape);
    lblloading->setObjectName(QStringLiteral("lblloading"));
    QFont small = tahoma;
    small.setPointSizeF(8.25);
    lblloading->setFont(small);
    lblloading->setText(QStringLiteral("attendere..."));

    auto* texts = new QVBoxLayout;
    texts->addWidget(Label1);
    texts->addWidget(lblloading);
    auto* row = new QHBoxLayout(shape);
    row->setContentsMargins(24, 24, 32, 24);
    row->setSpacing(20);
    row->addWidget(Image1);
    row->addLayout(texts);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(shape);

    adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
}

} // namespace movilibro
