#include "ui/main/frmmain.h"

#include "app/mainmod.h"
#include "app/seams.h"

namespace movilibro {

namespace {
// Client area of 14670 x 8625 twips at 15 twips a pixel.
constexpr QSize ClientSize(978, 575);
} // namespace

frmMain::frmMain(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(mainmod::ApplicationTitle);
    QFont verdana(QStringLiteral("Verdana"));
    verdana.setPointSizeF(8.25);
    setFont(verdana);
    setFixedSize(ClientSize);
    setWindowFlag(Qt::WindowMaximizeButtonHint, false);

    setWorkingDate(Clock::today());
    SettaAmbiente();
    gexsBind();
}

frmMain::~frmMain() = default;

void frmMain::setWorkingDate(const QDate& date)
{
    m_state.workingDate = date;
}

void frmMain::SettaAmbiente() {}

void frmMain::gexsBind() {}

} // namespace movilibro
