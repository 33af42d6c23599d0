#include "app/frmHelp.h"

#include "errors/Maker.h"
#include "platform/Controls.h"
#include "platform/qt/DesignLayout.h"

#include <QListWidget>
#include <QPushButton>

namespace ostrevan {
namespace {

constexpr double kClientWidth = 5745;
constexpr double kClientHeight = 3405;

} // namespace

frmHelp::frmHelp(const Screen& screen) : QDialog(nullptr, fixedBorderFlags(Qt::Dialog)) {
    setObjectName(QStringLiteral("frmHelp"));
    setWindowTitle(QStringLiteral("Form1"));
    setWindowModality(Qt::ApplicationModal);
    setFont(tahoma(8.25));
    setFixedSize(toPixels(kClientWidth), toPixels(kClientHeight));

    // Made first, so that it comes first in the keyboard order and has the focus.
    m_btn_Abbruch = new QPushButton(QStringLiteral("Schliessen"), this);
    m_btn_Abbruch->setObjectName(QStringLiteral("btn_Abbruch"));
    m_btn_Abbruch->setGeometry(twipsRect(4680, 3000, 1000, 350));
    m_List1 = new QListWidget(this);
    m_List1->setObjectName(QStringLiteral("List1"));
    m_List1->setGeometry(twipsRect(120, 120, 5535, 2790));
    m_List1->setSortingEnabled(false);
    setTabOrder(m_btn_Abbruch, m_List1);
    m_btn_Abbruch->setFocus();

    connect(m_btn_Abbruch, &QPushButton::clicked, this, &frmHelp::btn_Abbruch_Click);
    Form_Load(screen);
}

frmHelp::~frmHelp() = default;

void frmHelp::Form_Load(const Screen& screen) {
    move(centredPosition(screen, kClientWidth, kClientHeight));

    m_List1->addItem(qtText(kWebSiteAddress));
    m_List1->addItem(QStringLiteral("Zelvarin V1.0 (Beta Version)"));
    m_List1->addItem(QString());
    m_List1->addItem(QStringLiteral("Dies ist eine Beta-Version und nicht unbedingt fehlerfrei."));
}

void frmHelp::btn_Abbruch_Click() {
    close();
}

} // namespace ostrevan
