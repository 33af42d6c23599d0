#include "errors/frmErrorMessage.h"

#include "errors/ErrorReportMail.h"
#include "errors/Maker.h"
#include "platform/Controls.h"
#include "platform/EventHandler.h"
#include "platform/qt/DesignLayout.h"
#include "platform/qt/QtControls.h"

#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

#include <utility>

namespace ostrevan {
namespace {

// Design sizes in twips. The outer frame is that of a fixed-border window with a title bar;
// the dialog is centred by its outer size.
constexpr double kClientWidth = 6240;
constexpr double kClientHeight = 4140;
constexpr int kLogoPixels = 42;

} // namespace

struct frmErrorMessage::Adapters {
    QtLabel lbl_errNumber;
    QtLabel lbl_errDescription;
    QtLabel lbl_errSource;
};

frmErrorMessage::frmErrorMessage(ErrorDialogServices services, QWidget* parent)
    // A tool window stays out of the task bar; no minimise and no maximise button.
    : QWidget(parent, fixedBorderFlags(Qt::Tool)), m_services(std::move(services)) {
    setObjectName(QStringLiteral("frmErrorMessage"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Fehlerbeschreibung "));
    setFont(tahoma(8.25));
    setFixedSize(toPixels(kClientWidth), toPixels(kClientHeight));

    buildBanner();
    buildMessage();
    buildErrorFrame();
    buildFooter();

    m_adapters = std::make_unique<Adapters>(Adapters{
        QtLabel(*m_lbl_errNumber), QtLabel(*m_lbl_errDescription), QtLabel(*m_lbl_errSource)});
    m_fields = std::make_unique<ErrorFields>(ErrorFields{
        m_adapters->lbl_errNumber, m_adapters->lbl_errDescription, m_adapters->lbl_errSource});

    connect(m_btn_Command1, &QPushButton::clicked, this,
            [this] { handle(&frmErrorMessage::btn_Command1_Click); });
    connect(m_btn_errorSend, &QPushButton::clicked, this,
            [this] { handle(&frmErrorMessage::btn_errorSend_Click); });
    m_lblURL->installEventFilter(this);

    handle(&frmErrorMessage::Form_Load);
}

frmErrorMessage::~frmErrorMessage() = default;

void frmErrorMessage::buildBanner() {
    auto* picture1 = place(new QWidget(this), 0, 0, 8655, 735);
    picture1->setObjectName(QStringLiteral("Picture1"));
    picture1->setAutoFillBackground(true);
    QPalette bannerPalette = picture1->palette();
    bannerPalette.setColor(QPalette::Window, bannerPalette.color(QPalette::Base));
    picture1->setPalette(bannerPalette);

    auto* label5 = place(designLabel(*picture1, "Label5", qtText("Fehlerberichtserstattung")), 240,
                         120, 3060, 345);
    label5->setFont(tahoma(14.25));
    fitOnOneLine(*label5);
    auto* image1 = place(new QLabel(picture1), 5280, 90, 630, 630);
    image1->setObjectName(QStringLiteral("Image1"));
    image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    image1->setPixmap(logo({kLogoPixels, kLogoPixels}));

    place(designRule(*this, "Frame3"), 0, 720, 6720, 25);
}

void frmErrorMessage::buildMessage() {
    fitOnOneLine(
        *place(designLabel(*this, "Label1", qtText("Sehr geehrte Kunden,")), 120, 840, 5295, 225));
    fitOnOneLine(*place(designLabel(*this, "Label2",
                                    qtText("wir entschuldigen uns vielmals für diesen im Programm "
                                           "vorgekommenen Fehler.")),
                        120, 1080, 5655, 345));
    place(designLabel(
              *this, "Label4",
              qtText("Um diesen Fehler so schnell wie möglichst beheben zu können, möchten wir "
                     "Sie bitten uns diese Fehlerbeschreibung zusenden.")),
          120, 1320, 6015, 585);
    fitOnOneLine(*place(designLabel(*this, "Label6",
                                    qtText("Vielen Dank für Ihre Mithilfe (E-Mail: ") +
                                        qtText(kSupportMailAddress) + QLatin1Char(')')),
                        120, 1800, 5775, 315));
}

void frmErrorMessage::buildErrorFrame() {
    auto* frame2 = place(new QGroupBox(qtText("Fehlermeldung"), this), 120, 2160, 6000, 1215);
    frame2->setObjectName(QStringLiteral("Frame2"));
    // The caption sits on the border line, as in the design, so that the fields laid out
    // 240 twips below the frame's top lie inside the border, whatever the style.
    frame2->setStyleSheet(QStringLiteral(
        "QGroupBox#Frame2 { border: 1px solid palette(mid); border-radius: 2px; margin-top: 6px; }"
        "QGroupBox#Frame2::title { subcontrol-origin: margin; left: 6px; padding: 0 2px; }"));
    m_lbl_errSource =
        place(designLabel(*frame2, "lbl_errSource", qtText("Modul")), 120, 240, 5775, 345);
    m_lbl_errNumber =
        place(designLabel(*frame2, "lbl_errNumber", qtText("Err")), 120, 600, 855, 345);
    m_lbl_errDescription =
        place(designLabel(*frame2, "lbl_errDescription", qtText("Desc")), 1080, 600, 4815, 585);
}

void frmErrorMessage::buildFooter() {
    place(designRule(*this, "Frame1"), -120, 3480, 6720, 25);

    m_lblURL = place(designLabel(*this, "lblURL", qtText(kWebSiteAddress)), 120, 3600, 1575, 345);
    QFont linkFont = tahoma(8.25, true);
    linkFont.setUnderline(true);
    m_lblURL->setFont(linkFont);
    QPalette linkPalette = m_lblURL->palette();
    linkPalette.setColor(QPalette::WindowText, QColor(0, 0, 128));
    m_lblURL->setPalette(linkPalette);
    m_lblURL->setCursor(Qt::PointingHandCursor);
    fitOnOneLine(*m_lblURL);

    auto* label3 = place(designLabel(*this, "Label3", qtText("Werkzeuge für Konstrukteure")), 120,
                         3840, 1575, 345);
    label3->setFont(tahoma(8.25));
    fitOnOneLine(*label3);

    m_btn_errorSend =
        place(designButton(*this, "btn_errorSend", qtText("Senden")), 4080, 3720, 1000, 350);
    m_btn_Command1 =
        place(designButton(*this, "btn_Command1", qtText("Abbruch")), 5160, 3720, 1000, 350);
    setTabOrder(m_btn_Command1, m_btn_errorSend);
    m_btn_Command1->setFocus();
}

// The link is a label: it is clicked when the left button is released over it.
bool frmErrorMessage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_lblURL && event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton &&
            m_lblURL->rect().contains(mouse->position().toPoint())) {
            handle(&frmErrorMessage::lblURL_Click);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void frmErrorMessage::handle(void (frmErrorMessage::*handler)()) {
    runEventHandler(m_services.messageBox, m_services.endProgram,
                    [this, handler] { (this->*handler)(); });
}

void frmErrorMessage::Form_Load() {
    move(centredPosition(m_services.screen, kClientWidth, kClientHeight));
}

void frmErrorMessage::btn_Command1_Click() {
    close();
}

void frmErrorMessage::btn_errorSend_Click() {
    ostrevan::btn_errorSend_Click(fields(), m_services.registry, m_services.shell);
}

void frmErrorMessage::lblURL_Click() {
    ostrevan::lblURL_Click(m_services.mousePointer, m_services.shell);
}

} // namespace ostrevan
