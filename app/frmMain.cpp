#include "app/frmMain.h"

#include "errors/Maker.h"
#include "platform/Controls.h"
#include "platform/EventHandler.h"
#include "platform/Numbers.h"
#include "platform/qt/DeferredDisplay.h"
#include "platform/qt/DesignLayout.h"
#include "platform/qt/QtControls.h"
#include "platform/qt/QtListView.h"
#include "platform/qt/ResultListModel.h"
#include "scan/MainForm.h"
#include "scan/ScanContext.h"
#include "scan/clsSettings.h"
#include "scan/modGlobal.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTableView>

namespace ostrevan {
namespace {

// Design sizes in twips; the outer size is client + frame.
constexpr double kClientWidth = 10650;
constexpr double kClientHeight = 7035;
constexpr double kOuterHeightAfterLoad = 6360;
constexpr double kListWidth = 10100;

} // namespace

// The status labels and the result list show what the logic wrote through the deferred
// display, together and at most once a frame; the other controls at once.
struct frmMain::Adapters {
    explicit Adapters(frmMain& window)
        : display(window), lbl_references(*window.m_lbl_references, display),
          lbl_CheckRef(*window.m_lbl_CheckRef, display), txt_SEDokument(*window.m_txt_SEDokument),
          btn_Weiter(*window.m_btn_Weiter), btn_zurueck(*window.m_btn_zurueck),
          btn_export(*window.m_btn_export), chk_FolderRekursiv(*window.m_chk_FolderRekursiv),
          com_RefType(*window.m_com_RefType), ListView1(*window.m_results, display),
          SSTab1(*window.m_SSTab1) {}

    DeferredDisplay display;
    QtStatusLabel lbl_references;
    QtStatusLabel lbl_CheckRef;
    QtTextField txt_SEDokument;
    QtButton btn_Weiter;
    QtButton btn_zurueck;
    QtButton btn_export;
    QtCheckBox chk_FolderRekursiv;
    QtComboBox com_RefType;
    QtListView ListView1;
    QtPageControl SSTab1;
};

frmMain::frmMain(MainWindowServices services, QWidget* parent)
    : QWidget(parent, fixedBorderFlags(Qt::Window)), m_services(std::move(services)) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Zelvarin (Beta Version)"));
    setWindowIcon(QIcon(QStringLiteral(":/ostrevan/ostrevan.svg")));
    setFont(tahoma(8.25));
    setFixedSize(toPixels(kClientWidth), toPixels(kClientHeight));

    buildPages();
    buildBanner();
    buildButtonRow();

    m_adapters = std::make_unique<Adapters>(*this);
    m_form = std::make_unique<MainForm>(
        MainForm{m_adapters->lbl_references, m_adapters->lbl_CheckRef, m_adapters->txt_SEDokument,
                 m_adapters->btn_Weiter, m_adapters->btn_zurueck, m_adapters->btn_export,
                 m_adapters->chk_FolderRekursiv, m_adapters->com_RefType, m_adapters->ListView1,
                 m_adapters->SSTab1});

    connectHandlers();
    handle(&frmMain::Form_Load);
}

frmMain::~frmMain() = default;

void frmMain::setScanProcedures(std::unique_ptr<ScanProcedures> procedures) {
    m_procedures = std::move(procedures);
}

void frmMain::buildBanner() {
    auto* picture1 = place(new QWidget(this), 0, 0, kClientWidth, 825);
    picture1->setObjectName(QStringLiteral("Picture1"));
    picture1->setAutoFillBackground(true);
    QPalette bannerPalette = picture1->palette();
    bannerPalette.setColor(QPalette::Window, bannerPalette.color(QPalette::Base));
    picture1->setPalette(bannerPalette);

    auto* topMessage =
        place(new QLineEdit(qtText("SolidEdge Zelvarin"), picture1), 240, 240, 3255, 330);
    topMessage->setObjectName(QStringLiteral("txt_TopMessage"));
    topMessage->setFont(tahoma(9.75));
    topMessage->setReadOnly(true);
    topMessage->setFrame(false);
    topMessage->setFocusPolicy(Qt::NoFocus);
    QPalette messagePalette = topMessage->palette();
    messagePalette.setColor(QPalette::Base, messagePalette.color(QPalette::Light));
    topMessage->setPalette(messagePalette);

    auto* picture2 = place(new QLabel(picture1), 9720, 75, 720, 705);
    picture2->setObjectName(QStringLiteral("Picture2"));
    picture2->setPixmap(logo(QSize(48, 47)));

    place(designRule(*this, "Frame2"), 0, 840, 25000, 25);
}

void frmMain::buildPages() {
    // The page control lies below every other control: the banner covers its tab row.
    m_SSTab1 = place(new QStackedWidget(this), -15, 0, 10935, 6375);
    m_SSTab1->setObjectName(QStringLiteral("SSTab1"));
    for (const char* name : {"Tab 0", "Tab 1", "Tab 2"}) {
        auto* page = new QWidget(m_SSTab1);
        page->setObjectName(qtText(name));
        m_SSTab1->addWidget(page);
    }
    buildWelcomePage(*m_SSTab1->widget(0));
    buildSelectionPage(*m_SSTab1->widget(1));
    buildResultPage(*m_SSTab1->widget(2));
}

void frmMain::buildWelcomePage(QWidget& page) {
    place(designLabel(page, "Label10", qtText("Willkommen zum Zelvarin")), 840, 1200, 5655, 345)
        ->setFont(tahoma(12, true));
    place(designLabel(page, "Label7",
                      qtText("Dieser Assistent wird Sie beim Pflegen Ihrerer Referenzen "
                             "unterstützen. Mit diesem Programm haben Sie die Möglichkeit "
                             "Referenzen nach bestimmten Kriterien anzuzeigen.")),
          840, 1740, 8760, 465)
        ->setFont(tahoma(8.25));
    place(designLabel(page, "Label2",
                      qtText("Alle Verknüpfungsarten wie Part, Sheet Metal, Assembly, Draft, "
                             "Weldment, Teile.- Baugruppenfamilie, Interpart, Compound documents "
                             "(Office Dokumente), Arbeitsmappen usw. werden erkannt.")),
          840, 2280, 8760, 585)
        ->setFont(tahoma(8.25));
    place(designLabel(page, "Label4", qtText("Wichtiger Hinweis")), 840, 3120, 8655, 225)
        ->setFont(designFont("MS Sans Serif", 8.25, true));
    place(designLabel(page, "Label5",
                      qtText("Auf Ihre SolidEdge Dokumente wird nur lesend zugegriffen.")),
          840, 3360, 8655, 350);
    place(designLabel(page, "Label6",
                      qtText("Dies ist eine Beta-Version und nicht unbedingt fehlerfrei, deshalb "
                             "kann keine Garantie für das Funktionieren übernommen werden. Die "
                             "Dokumentation ist nicht vollständig und wird bei Fertigstellung "
                             "nachgereicht.")),
          840, 3720, 9135, 465);
    place(designLabel(page, "Label8",
                      qtText("Bitte senden Sie ihre Fehlerbeschreibung und Kommentare an ") +
                          QString::fromUtf8(kSupportMailAddress.data(),
                                            static_cast<qsizetype>(kSupportMailAddress.size()))),
          840, 4320, 7935, 345);
}

void frmMain::buildSelectionPage(QWidget& page) {
    place(designLabel(page, "Label1",
                      qtText("Hier haben Sie Möglichkeit eine Datei oder ein Verzeichnis "
                             "auszuwählen. Zusätzlich können Sie angeben welcher Referenztyp "
                             "angezeigt werden soll und  ob das gewählte Verzeichnis rekursiv "
                             "untersucht werden soll.")),
          360, 1320, 9495, 555);
    m_txt_SEDokument = place(new QLineEdit(&page), 360, 2160, 7605, 350);
    m_txt_SEDokument->setObjectName(QStringLiteral("txt_SEDokument"));
    m_btn_File = place(designButton(page, "btn_File", qtText("Datei")), 8040, 2160, 1000, 350);
    m_btn_Folder =
        place(designButton(page, "btn_Folder", qtText("Verzeichnis")), 9120, 2160, 1000, 350);
    m_chk_FolderRekursiv = place(new QCheckBox(qtText("Verzeichnis Rekursiv untersuchen."), &page),
                                 360, 3120, 4635, 315);
    m_chk_FolderRekursiv->setObjectName(QStringLiteral("chk_FolderRekursiv"));
    m_chk_FolderRekursiv->setChecked(true);
    place(designLabel(page, "Label3",
                      qtText("Welche Arten von Referenzen sollen dargestellt werden")),
          360, 3555, 4215, 345);
    m_com_RefType = place(new QComboBox(&page), 4800, 3480, 4935, 315);
    m_com_RefType->setObjectName(QStringLiteral("com_RefType"));
    m_com_RefType->setEditable(true);
    m_com_RefType->setInsertPolicy(QComboBox::NoInsert);
    m_com_RefType->setEditText(
        qtText("0 - Referenzen ausserhalb des gwählten Verzeichnis anzeigen"));
    // Show the start of the text, not its end, whenever it changes.
    connect(m_com_RefType, &QComboBox::editTextChanged, this,
            [this] { m_com_RefType->lineEdit()->setCursorPosition(0); });
}

void frmMain::buildResultPage(QWidget& page) {
    m_results = new ResultListModel(this);
    m_ListView1 = place(new QTableView(&page), 240, 1080, kListWidth, 3375);
    m_ListView1->setObjectName(QStringLiteral("ListView1"));
    m_ListView1->setModel(m_results);
    m_ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_ListView1->setWordWrap(false);
    m_ListView1->verticalHeader()->hide();
    m_ListView1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_ListView1->verticalHeader()->setDefaultSectionSize(m_ListView1->fontMetrics().height() + 4);
    m_ListView1->horizontalHeader()->setHighlightSections(false);
    // Headers sit on the left, as the list control of Windows puts them.
    m_ListView1->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    m_lbl_references = place(new QLabel(&page), 360, 4680, 7815, 225);
    m_lbl_references->setObjectName(QStringLiteral("lbl_references"));
    m_lbl_CheckRef = place(new QLabel(&page), 360, 4950, 7815, 225);
    m_lbl_CheckRef->setObjectName(QStringLiteral("lbl_CheckRef"));
    m_btn_ReferenzView =
        place(designButton(page, "btn_ReferenzView", qtText("Anzeigen")), 8280, 4680, 1000, 350);
    m_btn_export = place(designButton(page, "btn_export", qtText("Export")), 9360, 4680, 1000, 350);
    m_btn_export->setEnabled(false);
}

void frmMain::buildButtonRow() {
    place(designRule(*this, "Frame1"), -360, 5280, 11595, 25);
    m_btn_Help = place(designButton(*this, "btn_Help", qtText("&Hilfe")), 5880, 5520, 1100, 350);
    m_btn_zurueck =
        place(designButton(*this, "btn_zurueck", qtText("< &Zurück")), 7080, 5520, 1100, 350);
    m_btn_zurueck->setFont(tahoma(8.25));
    m_btn_zurueck->setEnabled(false);
    m_btn_Weiter =
        place(designButton(*this, "btn_Weiter", qtText("&Weiter >")), 8280, 5520, 1100, 350);
    m_btn_Weiter->setFont(tahoma(8.25));
    m_btn_Abbruch =
        place(designButton(*this, "btn_Abbruch", qtText("&Abbruch")), 9480, 5520, 1100, 350);
    m_btn_Abbruch->setFont(tahoma(8.25));
}

void frmMain::connectHandlers() {
    const auto onClick = [this](QPushButton* source, void (frmMain::*handler)()) {
        connect(source, &QPushButton::clicked, this, [this, handler] { handle(handler); });
    };
    onClick(m_btn_Weiter, &frmMain::btn_Weiter_Click);
    onClick(m_btn_zurueck, &frmMain::btn_zurueck_Click);
    onClick(m_btn_Abbruch, &frmMain::btn_Abbruch_Click);
    onClick(m_btn_ReferenzView, &frmMain::btn_ReferenzView_Click);
    onClick(m_btn_export, &frmMain::btn_export_Click);
    onClick(m_btn_Help, &frmMain::btn_Help_Click);
    onClick(m_btn_File, &frmMain::btn_File_Click);
    onClick(m_btn_Folder, &frmMain::btn_Folder_Click);
    connect(m_chk_FolderRekursiv, &QCheckBox::clicked, this,
            [this] { handle(&frmMain::chk_FolderRekursiv_Click); });
    connect(m_com_RefType, &QComboBox::activated, this,
            [this] { handle(&frmMain::com_RefType_Click); });
    discardTyping();
}

void frmMain::handle(void (frmMain::*handler)()) {
    runEventHandler(m_services.messageBox, m_services.endProgram,
                    [this, handler] { (this->*handler)(); });
    m_adapters->display.showNow();
}

void frmMain::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        handle(&frmMain::Form_Activate);
    }
}

void frmMain::Form_Load() {
    move(centredPosition(m_services.screen, kClientWidth, kClientHeight));
    form().SSTab1.setTab(0);

    m_results->setHeaders(
        {QStringLiteral("Anzahl"), QStringLiteral("Dokument"), QStringLiteral("Referenz")});
    const ResultColumnWidths widths = resultColumnWidths(kListWidth);
    m_ListView1->setColumnWidth(0, toPixels(widths.anzahl));
    m_ListView1->setColumnWidth(1, toPixels(widths.dokument));
    m_ListView1->setColumnWidth(2, toPixels(widths.referenz));
    m_ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_ListView1->setShowGrid(true);

    form().com_RefType.addItem("0 - Referenzen ausserhalb des gewählten Verzeichnis anzeigen");
    form().com_RefType.addItem("1 - Alle Referenzen anzeigen");
    EnableFolderRekursiv(form(), false);
    setFixedSize(width(), toPixels(kOuterHeightAfterLoad - kFrameHeightTwips));
    m_settings = std::make_unique<clsSettings>(form());
    m_context = std::make_unique<ScanContext>(
        ScanContext{form(), *m_settings, m_services.messageBox, m_services.mousePointer,
                    m_services.automation, m_services.fileSystem});
    m_procedures = std::make_unique<ModGlobalProcedures>(*m_context);
    form().lbl_references.setCaption({});
    form().lbl_CheckRef.setCaption({});
}

void frmMain::Form_Activate() {
    form().com_RefType.setSelLength(0);
}

void frmMain::btn_Weiter_Click() {
    PageControl& pages = form().SSTab1;
    const std::int16_t next = addInt16(pages.tab(), 1);
    if (next > 0) {
        form().btn_zurueck.setEnabled(true);
    }
    pages.setTab(next);
    if (addInt16(pages.tab(), 1) == pages.tabs()) {
        form().btn_Weiter.setEnabled(false);
    }
    if (addInt16(pages.tab(), 1) == 2 && Settings().Dokumentyp() == -1) {
        form().btn_Weiter.setEnabled(false);
    }
}

void frmMain::btn_zurueck_Click() {
    PageControl& pages = form().SSTab1;
    const std::int16_t previous = addInt16(pages.tab(), -1);
    form().btn_Weiter.setEnabled(true);
    pages.setTab(previous);
    if (pages.tab() == 0) {
        form().btn_zurueck.setEnabled(false);
    }
}

void frmMain::btn_Abbruch_Click() {
    close();
}

void frmMain::btn_ReferenzView_Click() {
    ostrevan::btn_ReferenzView_Click(*m_context, *m_procedures);
}

} // namespace ostrevan
