#include "errors/frmErrorMessage.h"

#include "errors/ErrorReportMail.h"
#include "errors/Maker.h"
#include "platform/Controls.h"
#include "platform/EventHandler.h"
#include "platform/Numbers.h"
#include "platform/qt/QtControls.h"
#include "platform/qt/Twips.h"

#include <QEvent>
#include <QFontMetrics>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QSvgRenderer>

#include <utility>

namespace ostrevan {
namespace {

// Design sizes in twips. The outer frame is that of a fixed-border window with a title bar;
// the dialog is centred by its outer size.
constexpr double kClientWidth = 6240;
constexpr double kClientHeight = 4140;
constexpr double kFrameWidth = 90;
constexpr double kFrameHeight = 405;
constexpr int kLogoPixels = 42;

QString text(const char* utf8) {
    return QString::fromUtf8(utf8);
}

QString text(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

QFont tahoma(double points, bool bold = false) {
    QFont made(QStringLiteral("Tahoma"));
    made.setStyleHint(QFont::SansSerif);
    made.setPointSizeF(points);
    made.setBold(bold);
    return made;
}

template <class Widget>
Widget* place(Widget* widget, double left, double top, double width, double height) {
    widget->setGeometry(twipsRect(left, top, width, height));
    return widget;
}

// Plain text, so that an error text with markup shows as it is.
QLabel* label(QWidget& parent, const char* name, const QString& caption) {
    auto* made = new QLabel(caption, &parent);
    made->setObjectName(text(name));
    made->setTextFormat(Qt::PlainText);
    made->setWordWrap(true);
    made->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return made;
}

// The one-line labels were laid out for the narrow fonts of their first home. Where the font
// here is wider, the text is narrowed to fit instead of wrapping into the label below or being
// cut off. Call it once font, text and geometry are set.
void fitOnOneLine(QLabel& label) {
    constexpr int narrowest = 50;
    label.setWordWrap(false);
    QFont font = label.font();
    const auto fits = [&] {
        return QFontMetrics(font).horizontalAdvance(label.text()) <= label.width();
    };
    for (int stretch = 99; stretch >= narrowest && !fits(); --stretch) {
        font.setStretch(stretch);
    }
    label.setFont(font);
}

QFrame* rule(QWidget& parent, const char* name) {
    auto* frame = new QFrame(&parent);
    frame->setObjectName(text(name));
    frame->setFrameShape(QFrame::HLine);
    frame->setFrameShadow(QFrame::Sunken);
    return frame;
}

QPushButton* button(QWidget& parent, const char* name, const char* caption) {
    auto* made = new QPushButton(text(caption), &parent);
    made->setObjectName(text(name));
    made->setAutoDefault(false);
    return made;
}

QPixmap logo() {
    QPixmap pixmap(kLogoPixels, kLogoPixels);
    pixmap.fill(Qt::transparent);
    QSvgRenderer renderer(QStringLiteral(":/ostrevan/errors/ostrevan.svg"));
    QPainter painter(&pixmap);
    renderer.render(&painter);
    return pixmap;
}

} // namespace

struct frmErrorMessage::Adapters {
    QtLabel lbl_errNumber;
    QtLabel lbl_errDescription;
    QtLabel lbl_errSource;
};

frmErrorMessage::frmErrorMessage(ErrorDialogServices services, QWidget* parent)
    // A tool window stays out of the task bar; no minimise and no maximise button.
    : QWidget(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      m_services(std::move(services)) {
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

    auto* label5 =
        place(label(*picture1, "Label5", text("Fehlerberichtserstattung")), 240, 120, 3060, 345);
    label5->setFont(tahoma(14.25));
    fitOnOneLine(*label5);
    auto* image1 = place(new QLabel(picture1), 5280, 90, 630, 630);
    image1->setObjectName(QStringLiteral("Image1"));
    image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    image1->setPixmap(logo());

    place(rule(*this, "Frame3"), 0, 720, 6720, 25);
}

void frmErrorMessage::buildMessage() {
    fitOnOneLine(*place(label(*this, "Label1", text("Sehr geehrte Kunden,")), 120, 840, 5295, 225));
    fitOnOneLine(*place(label(*this, "Label2",
                              text("wir entschuldigen uns vielmals für diesen im Programm "
                                   "vorgekommenen Fehler.")),
                        120, 1080, 5655, 345));
    place(label(*this, "Label4",
                text("Um diesen Fehler so schnell wie möglichst beheben zu können, möchten wir "
                     "Sie bitten uns diese Fehlerbeschreibung zusenden.")),
          120, 1320, 6015, 585);
    fitOnOneLine(*place(label(*this, "Label6",
                              text("Vielen Dank für Ihre Mithilfe (E-Mail: ") +
                                  text(kSupportMailAddress) + QLatin1Char(')')),
                        120, 1800, 5775, 315));
}

void frmErrorMessage::buildErrorFrame() {
    auto* frame2 = place(new QGroupBox(text("Fehlermeldung"), this), 120, 2160, 6000, 1215);
    frame2->setObjectName(QStringLiteral("Frame2"));
    // The caption sits on the border line, as in the design, so that the fields laid out
    // 240 twips below the frame's top lie inside the border, whatever the style.
    frame2->setStyleSheet(QStringLiteral(
        "QGroupBox#Frame2 { border: 1px solid palette(mid); border-radius: 2px; margin-top: 6px; }"
        "QGroupBox#Frame2::title { subcontrol-origin: margin; left: 6px; padding: 0 2px; }"));
    m_lbl_errSource = place(label(*frame2, "lbl_errSource", text("Modul")), 120, 240, 5775, 345);
    m_lbl_errNumber = place(label(*frame2, "lbl_errNumber", text("Err")), 120, 600, 855, 345);
    m_lbl_errDescription =
        place(label(*frame2, "lbl_errDescription", text("Desc")), 1080, 600, 4815, 585);
}

void frmErrorMessage::buildFooter() {
    place(rule(*this, "Frame1"), -120, 3480, 6720, 25);

    m_lblURL = place(label(*this, "lblURL", text(kWebSiteAddress)), 120, 3600, 1575, 345);
    QFont linkFont = tahoma(8.25, true);
    linkFont.setUnderline(true);
    m_lblURL->setFont(linkFont);
    QPalette linkPalette = m_lblURL->palette();
    linkPalette.setColor(QPalette::WindowText, QColor(0, 0, 128));
    m_lblURL->setPalette(linkPalette);
    m_lblURL->setCursor(Qt::PointingHandCursor);
    fitOnOneLine(*m_lblURL);

    auto* label3 =
        place(label(*this, "Label3", text("Werkzeuge für Konstrukteure")), 120, 3840, 1575, 345);
    label3->setFont(tahoma(8.25));
    fitOnOneLine(*label3);

    m_btn_errorSend = place(button(*this, "btn_errorSend", "Senden"), 4080, 3720, 1000, 350);
    m_btn_Command1 = place(button(*this, "btn_Command1", "Abbruch"), 5160, 3720, 1000, 350);
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
    const std::int32_t left =
        centredOffset(m_services.screen.widthTwips(), kClientWidth + kFrameWidth);
    const std::int32_t top =
        centredOffset(m_services.screen.heightTwips(), kClientHeight + kFrameHeight);
    move(toPixels(left), toPixels(top));
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
