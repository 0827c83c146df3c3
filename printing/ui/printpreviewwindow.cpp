#include "printing/ui/printpreviewwindow.h"

#include "printing/pagination.h"
#include "printing/printer.h"
#include "printing/ui/headerfooterdialog.h"
#include "printing/ui/marginsdialog.h"
#include "printing/ui/pageview.h"
#include "shell/browser.h"
#include "shell/look.h"
#include "shell/prompt.h"
#include "shell/windowdesign.h"
#include "shell/windowset.h"
#include "store/datalocation.h"
#include "store/error.h"
#include "store/recipestore.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QScrollBar>
#include <QShowEvent>
#include <QSpinBox>
#include <QToolButton>
#include <QWheelEvent>

#include <cmath>

namespace {

// Tool bar pictures, drawn here: arrows to the first, previous, next and last page, a magnifier
// with plus or minus, a whole page, a page width and a printer.
QIcon toolIcon(const QString &kind)
{
    QPixmap pixmap(24, 24);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor ink(30, 60, 120);
    p.setPen(QPen(ink, 2));
    p.setBrush(ink);
    auto triangle = [&](bool left, int x) {
        const QPolygonF t = left ? QPolygonF({QPointF(x + 7, 5), QPointF(x, 12), QPointF(x + 7, 19)})
                                 : QPolygonF({QPointF(x, 5), QPointF(x + 7, 12), QPointF(x, 19)});
        p.drawPolygon(t);
    };
    if (kind == QLatin1String("first")) {
        p.drawLine(6, 5, 6, 19);
        triangle(true, 9);
    } else if (kind == QLatin1String("previous")) {
        triangle(true, 8);
    } else if (kind == QLatin1String("next")) {
        triangle(false, 9);
    } else if (kind == QLatin1String("last")) {
        triangle(false, 8);
        p.drawLine(18, 5, 18, 19);
    } else if (kind == QLatin1String("zoomin") || kind == QLatin1String("zoomout")) {
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(10, 10), 6, 6);
        p.drawLine(14, 14, 20, 20);
        p.drawLine(7, 10, 13, 10);
        if (kind == QLatin1String("zoomin"))
            p.drawLine(10, 7, 10, 13);
    } else if (kind == QLatin1String("page") || kind == QLatin1String("width")) {
        p.setBrush(Qt::white);
        p.drawRect(6, 3, 12, 18);
        if (kind == QLatin1String("width")) {
            p.drawLine(2, 12, 22, 12);
            p.drawLine(2, 12, 5, 9);
            p.drawLine(2, 12, 5, 15);
            p.drawLine(22, 12, 19, 9);
            p.drawLine(22, 12, 19, 15);
        }
    } else {
        p.setBrush(Qt::white);
        p.drawRect(7, 3, 10, 7);
        p.setBrush(ink);
        p.drawRect(3, 10, 18, 8);
        p.setBrush(Qt::white);
        p.drawRect(7, 15, 10, 6);
    }
    return QIcon(pixmap);
}

// The small sheet of the orientation and pages-per-sheet pictures.
QIcon sheetIcon(bool landscape, const QString &text)
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    const QRect sheet = landscape ? QRect(2, 7, 28, 19) : QRect(7, 2, 19, 28);
    p.setPen(Qt::black);
    p.setBrush(Qt::white);
    p.drawRect(sheet);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(text.size() > 2 ? 8 : 14);
    font.setBold(true);
    p.setFont(font);
    p.drawText(sheet, Qt::AlignCenter, text);
    return QIcon(pixmap);
}

QToolButton *toolButton(QWidget *parent, const char *name, const QString &hint, const QString &icon)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setToolTip(hint);
    button->setAccessibleName(hint);
    button->setIcon(toolIcon(icon));
    button->setIconSize(QSize(24, 24));
    button->setAutoRaise(true);
    button->setFixedSize(35, 26);
    return button;
}

QLabel *panelLabel(QWidget *parent, const char *name, const QString &text, QRect geometry)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(16);
    font.setBold(true);
    label->setFont(font);
    label->setGeometry(geometry);
    return label;
}

int rounded(long double millimetres)
{
    // Halves to even, as the margin spin edits show them.
    return int(std::nearbyintl(millimetres));
}

} // namespace

PrintPreviewWindow::PrintPreviewWindow(QWidget *parent)
    : QDialog(parent)
{
    designWindow(this, "PrintPreviewForm", tr("Print Preview"), QSize(1291, 669), Frame::Sizable);
    setWindowFlag(Qt::WindowMinMaxButtonsHint, true);

    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);

    QWidget *top = makeContentPanel(this, "Panel1", 1, false);
    top->setFixedHeight(85);
    outer->addWidget(top);
    auto *toolBar = new QWidget(top);
    toolBar->setObjectName(QStringLiteral("ToolBar1"));
    toolBar->setGeometry(8, 6, 420, 30);
    auto *tools = new QHBoxLayout(toolBar);
    tools->setContentsMargins(0, 0, 0, 0);
    tools->setSpacing(0);
    struct Tool {
        const char *name;
        const char *hint;
        const char *icon;
        void (PageView::*action)();
    };
    m_view = new PageView;
    const Tool toolList[] = {
        {"ToolButton1", "First Page", "first", &PageView::FirstPage},
        {"btnRight", "Previous Page", "previous", &PageView::PrevPage},
        {"btnLeft", "Next Page", "next", &PageView::NextPage},
        {"ToolButton2", "Last Page", "last", &PageView::LastPage},
        {nullptr, nullptr, nullptr, nullptr},
        {"btnZoomOut", "Zoom In", "zoomin", &PageView::ZoomIn},
        {"btnZoomIn", "Zoom Out", "zoomout", &PageView::ZoomOut},
        {nullptr, nullptr, nullptr, nullptr},
        {"btnFull", "View Full Page", "page", &PageView::FitWholePage},
        {"btnWidth", "View Full Width", "width", &PageView::FitPageWidth},
        {nullptr, nullptr, nullptr, nullptr},
    };
    for (const Tool &tool : toolList) {
        if (!tool.name) {
            tools->addSpacing(8);
            continue;
        }
        QToolButton *button = toolButton(toolBar, tool.name, tr(tool.hint), QString::fromLatin1(tool.icon));
        connect(button, &QToolButton::clicked, m_view, tool.action);
        tools->addWidget(button);
    }
    QToolButton *printAll = toolButton(toolBar, "btnPrintAl", tr("Print All Pages"), QStringLiteral("print"));
    connect(printAll, &QToolButton::clicked, this, &PrintPreviewWindow::btnPrintAlClick);
    tools->addWidget(printAll);
    tools->addStretch();

    m_pageLabel = new QLabel(tr("Page: 1 of 1"), top);
    m_pageLabel->setObjectName(QStringLiteral("Label3"));
    QFont labelFont(QStringLiteral("Arial"));
    labelFont.setPixelSize(19);
    m_pageLabel->setFont(labelFont);
    m_pageLabel->setAlignment(Qt::AlignCenter);
    m_pageLabel->setGeometry(440, 28, 300, 30);

    QAbstractButton *range = makeButton(top, "RbButton1", tr("Range"), QString(), QRect(760, 14, 85, 57));
    QAbstractButton *current = makeButton(top, "btnPrintPage", tr("Current Page"), QString(), QRect(855, 14, 85, 57));
    QAbstractButton *all = makeButton(top, "RbButton3", tr("All Pages"), QString(), QRect(950, 14, 85, 57));
    connect(range, &QAbstractButton::clicked, this, &PrintPreviewWindow::dxButton1Click);
    connect(current, &QAbstractButton::clicked, this, &PrintPreviewWindow::btnPrintPageClick);
    connect(all, &QAbstractButton::clicked, this, &PrintPreviewWindow::btnPrintAlClick);

    auto *middle = new QHBoxLayout;
    middle->setSpacing(0);
    outer->addLayout(middle, 1);
    auto *left = new QWidget(this);
    left->setObjectName(QStringLiteral("Panel2"));
    left->setFixedWidth(393);
    auto *leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    leftLayout->setSpacing(0);
    QWidget *settings = makeContentPanel(left, "RbPanel1", 1, false);
    settings->setFixedHeight(295);
    leftLayout->addWidget(settings);
    m_thumbnails = new PageThumbnails(m_view, left);
    leftLayout->addWidget(m_thumbnails, 1);
    middle->addWidget(left);
    m_view->setParent(this);
    middle->addWidget(m_view, 1);
    auto *status = new QLabel(this);
    status->setObjectName(QStringLiteral("StatusBar1"));
    status->setFixedHeight(20);
    outer->addWidget(status);

    // The settings panel.
    QLabel *printerLabel = panelLabel(settings, "Label1", tr("Printer Selection"), QRect(12, 8, 200, 20));
    m_printers = new QComboBox(settings);
    m_printers->setObjectName(QStringLiteral("LxPropertyComboBox1"));
    m_printers->setGeometry(12, 30, 369, 26);
    printerLabel->setBuddy(m_printers);
    m_printers->setAccessibleName(printerLabel->text());
    QStringList printers = LxPrinter::installedPrinters();
    printers << LxPrinter::pdfTargetName();
    m_printers->addItems(printers);
    m_printers->view()->setMinimumWidth(369);
    m_view->printer().setPrinterName(printers.constFirst());
    connect(m_printers, &QComboBox::activated, this, &PrintPreviewWindow::LxPropertyComboBox1Change);

    QLabel *paperLabel = panelLabel(settings, "Label2", tr("Paper Size"), QRect(12, 62, 180, 20));
    m_papers = new QComboBox(settings);
    m_papers->setObjectName(QStringLiteral("LxPropertyComboBox2"));
    m_papers->addItems(Paper::names());
    m_papers->setMaxVisibleItems(10);
    m_papers->setCurrentIndex(int(LxPaperSize::A4));
    m_papers->setGeometry(12, 84, 180, 26);
    paperLabel->setBuddy(m_papers);
    m_papers->setAccessibleName(paperLabel->text());
    connect(m_papers, &QComboBox::activated, this, &PrintPreviewWindow::LxPropertyComboBox2Change);

    QAbstractButton *margins = makeButton(settings, "btnMargins", tr("Margins"), QString(), QRect(210, 84, 171, 26));
    connect(margins, &QAbstractButton::clicked, this, &PrintPreviewWindow::btnMarginsClick);

    QLabel *qualityLabel = panelLabel(settings, "Label4", tr("Print Quality"), QRect(12, 116, 180, 20));
    m_quality = new QComboBox(settings);
    m_quality->setObjectName(QStringLiteral("ComboBox2"));
    m_quality->addItems({tr("High"), tr("Standard"), tr("Draft"), tr("Low"), tr("Default")});
    m_quality->setCurrentIndex(4);
    m_quality->setGeometry(12, 138, 180, 26);
    qualityLabel->setBuddy(m_quality);
    m_quality->setAccessibleName(qualityLabel->text());
    connect(m_quality, &QComboBox::activated, this, &PrintPreviewWindow::ComboBox2Change);

    QLabel *copiesLabel = panelLabel(settings, "Label5", tr("Copies"), QRect(210, 116, 100, 20));
    m_copies = new QSpinBox(settings);
    m_copies->setObjectName(QStringLiteral("RxSpinEdit1"));
    m_copies->setRange(1, 1000);
    m_copies->setAlignment(Qt::AlignCenter);
    m_copies->setGeometry(210, 138, 80, 26);
    copiesLabel->setBuddy(m_copies);
    m_copies->setAccessibleName(copiesLabel->text());
    connect(m_copies, &QSpinBox::valueChanged, this, &PrintPreviewWindow::RxSpinEdit1Change);

    QAbstractButton *header = makeButton(settings, "btnHeader", tr("Header & Footer"), QString(), QRect(12, 176, 180, 26));
    connect(header, &QAbstractButton::clicked, this, &PrintPreviewWindow::btnHeaderClick);

    // Pages per sheet and orientation: grouped buttons beside a small sheet.
    auto *perSheet = new QWidget(settings);
    perSheet->setObjectName(QStringLiteral("LxPropertyGraphic2"));
    perSheet->setToolTip(tr("Econo Multi-Page Printing"));
    perSheet->setAccessibleName(tr("Econo Multi-Page Printing"));
    perSheet->setGeometry(12, 212, 180, 40);
    auto *perSheetGroup = new QButtonGroup(perSheet);
    const char *const perSheetNames[] = {"btnOnePage", "btnTwoPages", "btnFourPages"};
    const char *const perSheetTexts[] = {"1", "1 2", "1 2 3 4"};
    for (int i = 0; i < 3; ++i) {
        auto *b = new QToolButton(perSheet);
        b->setObjectName(QString::fromLatin1(perSheetNames[i]));
        b->setCheckable(true);
        b->setIcon(sheetIcon(i == 1, QString::fromLatin1(perSheetTexts[i])));
        b->setIconSize(QSize(32, 32));
        b->setGeometry(i * 44, 0, 40, 40);
        b->setAccessibleName(tr("%n page(s) per sheet", nullptr, i == 0 ? 1 : i == 1 ? 2 : 4));
        perSheetGroup->addButton(b, i);
    }
    perSheetGroup->button(0)->setChecked(true);
    connect(perSheetGroup, &QButtonGroup::idClicked, this, [this](int id) { m_view->pages().setPagesPerSheet(LxPagesPerSheet(id)); });

    auto *orientation = new QWidget(settings);
    orientation->setObjectName(QStringLiteral("LxPropertyGraphic1"));
    orientation->setToolTip(tr("Page Orientation"));
    orientation->setAccessibleName(tr("Page Orientation"));
    orientation->setGeometry(210, 212, 100, 40);
    auto *orientationGroup = new QButtonGroup(orientation);
    const char *const orientationNames[] = {"btnPortrait", "btnLandscape"};
    for (int i = 0; i < 2; ++i) {
        auto *b = new QToolButton(orientation);
        b->setObjectName(QString::fromLatin1(orientationNames[i]));
        b->setCheckable(true);
        b->setIcon(sheetIcon(i == 1, i == 0 ? QStringLiteral("P") : QStringLiteral("L")));
        b->setIconSize(QSize(32, 32));
        b->setGeometry(i * 44, 0, 40, 40);
        b->setAccessibleName(i == 0 ? tr("Portrait") : tr("Landscape"));
        orientationGroup->addButton(b, i);
    }
    orientationGroup->button(0)->setChecked(true);
    connect(orientationGroup, &QButtonGroup::idClicked, this,
            [this](int id) { m_view->pages().setOrientation(id == 0 ? LxOrientation::Portrait : LxOrientation::Landscape); });

    QAbstractButton *close = makeButton(settings, "btnClose", tr("Close"), QString(), QRect(290, 258, 91, 28));
    connect(close, &QAbstractButton::clicked, this, &QDialog::reject);

    m_paginator = std::make_unique<LxRtfPreview>(&m_view->pages());
    connect(m_view, &PageView::pageChanged, this, &PrintPreviewWindow::LxPreview1PageChanged);
    connect(m_view, &PageView::orientationChanged, this, &PrintPreviewWindow::LxPreview1OrientationChanged);
    connect(m_view, &PageView::viewMousePressed, this, [this](QMouseEvent *e) {
        if (e->button() == Qt::LeftButton)
            m_view->startPan(e->position().toPoint());
    });
    connect(m_view, &PageView::viewMouseReleased, this, [this](QMouseEvent *e) {
        if (e->button() == Qt::LeftButton)
            m_view->endPan();
    });
    m_view->printer().OnMessage = [](const QString &text) { Prompt::instance().plain(text); };

    try {
        LoadMarginSettings();
    } catch (const Error &error) {
        Prompt::instance().error(error.message());
    }
}

PrintPreviewWindow::~PrintPreviewWindow() = default;

QString PrintPreviewWindow::settingsPath() const
{
    const QString folder = windows().browser ? windows().browser->store().dataDirectory() : DataLocation::directory();
    return QDir(folder).filePath(QStringLiteral("Settings.ini"));
}

void PrintPreviewWindow::LoadMarginSettings()
{
    LxPageList &pages = m_view->pages();
    pages.BeginUpdate();
    const MarginSettings s = MarginSettings::load(settingsPath());
    pages.margins().setSide(LxMargins::Left, LxMeasurement::Millimeters, s.left);
    pages.margins().setSide(LxMargins::Top, LxMeasurement::Millimeters, s.top);
    pages.margins().setSide(LxMargins::Right, LxMeasurement::Millimeters, s.right);
    pages.margins().setSide(LxMargins::Bottom, LxMeasurement::Millimeters, s.bottom);
    m_paginator->ATopMargin = LxValue::from(LxMeasurement::Millimeters, s.marginTop);
    m_paginator->ABottomMargin = LxValue::from(LxMeasurement::Millimeters, s.marginBottom);
    MarginsDialog *dialog = windows().MarginsForm;
    pages.header().setHeight(LxMeasurement::Millimeters, dialog ? dialog->SpinHeader->value() : 10);
    pages.footer().setHeight(LxMeasurement::Millimeters, dialog ? dialog->SpinFooter->value() : 10);
    pages.EndUpdate();
}

void PrintPreviewWindow::SaveMarginSettings()
{
    const LxMargins &m = m_view->pages().margins();
    MarginSettings s;
    s.left = double(m.left().as(LxMeasurement::Millimeters));
    s.top = double(m.top().as(LxMeasurement::Millimeters));
    s.right = double(m.right().as(LxMeasurement::Millimeters));
    s.bottom = double(m.bottom().as(LxMeasurement::Millimeters));
    s.marginTop = double(m_paginator->ATopMargin.as(LxMeasurement::Millimeters));
    s.marginBottom = double(m_paginator->ABottomMargin.as(LxMeasurement::Millimeters));
    // Whole millimetres are written as whole numbers, not as 24.999999999999996.
    for (double *v : {&s.left, &s.top, &s.right, &s.bottom, &s.marginTop, &s.marginBottom})
        *v = std::round(*v * 1e9) / 1e9;
    s.save(settingsPath());
}

void PrintPreviewWindow::RebuildPreview(const QTextDocument *source)
{
    if (source)
        m_source = source;
    LxPageList &pages = m_view->pages();
    pages.BeginUpdate();
    pages.ClearPages();
    if (m_source) {
        m_paginator->setPrinterResolution(m_view->printer().metrics().resolutionX);
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        try {
            m_paginator->PaginateRichText(m_source);
        } catch (...) {
            QGuiApplication::restoreOverrideCursor();
            pages.EndUpdate();
            throw;
        }
        QGuiApplication::restoreOverrideCursor();
    }
    m_view->FirstPage();
    pages.EndUpdate();
    m_thumbnails->rebuild();
    LxPreview1PageChanged();
}

void PrintPreviewWindow::LxPreview1PageChanged()
{
    m_pageLabel->setText(tr("Page: %1 of %2").arg(m_view->CurrentPage()).arg(m_view->PageCount()));
}

void PrintPreviewWindow::LxPreview1OrientationChanged()
{
    RebuildPreview();
    m_view->FitWholePage();
}

void PrintPreviewWindow::LxPropertyComboBox1Change()
{
    // Another printer: its own settings apply from now on; the pages are not laid out again.
    m_view->printer().setPrinterName(m_printers->currentText());
    m_view->printer().copies = 1;
}

void PrintPreviewWindow::LxPropertyComboBox2Change()
{
    m_view->pages().setPaperSize(LxPaperSize(m_papers->currentIndex()));
    RebuildPreview();
    m_view->FitWholePage();
}

void PrintPreviewWindow::ComboBox2Change()
{
    LxPrinter &printer = m_view->printer();
    switch (m_quality->currentIndex()) {
    case 0: printer.quality = LxPrinter::High; break;
    case 1: printer.quality = LxPrinter::Medium; break;
    case 2: printer.quality = LxPrinter::Draft; break;
    case 3: printer.quality = LxPrinter::Low; break;
    default: break;
    }
    printer.colorMode = LxPrinter::Color;
}

void PrintPreviewWindow::RxSpinEdit1Change()
{
    m_view->printer().copies = m_copies->value();
    m_view->printer().colorMode = LxPrinter::Color;
}

bool PrintPreviewWindow::prepareJob()
{
    LxPrinter &printer = m_view->printer();
    printer.Title = QStringLiteral("Letter Mail Merge");
    printer.colorMode = LxPrinter::Color;
    if (!printer.isPdf())
        return true;
    Prompt::FileRequest request;
    request.title = tr("Print to PDF File");
    request.filter = tr("PDF files (*.pdf)");
    request.defaultExtension = QStringLiteral("pdf");
    const std::optional<QString> path = Prompt::instance().saveFileName(request);
    if (!path)
        return false;
    printer.setPdfFile(*path);
    return true;
}

void PrintPreviewWindow::btnPrintAlClick()
{
    m_view->printer().copies = m_copies->value();
    if (prepareJob())
        m_view->printer().PrintRange(1, m_view->PageCount());
}

void PrintPreviewWindow::btnPrintPageClick()
{
    if (prepareJob())
        m_view->printer().PrintCurrentPage();
}

void PrintPreviewWindow::dxButton1Click()
{
    const int count = m_view->PageCount();
    const std::optional<QString> text = Prompt::instance().inputText(tr("Print Range"), tr("Print From Page 1 to Page %1").arg(count),
                                                                     QStringLiteral("1-%1").arg(count));
    if (!text)
        return;
    const std::optional<PageRange> range = PageRange::parse(*text, count);
    if (!range) {
        Prompt::instance().plain(tr("Invalid Range"));
        return;
    }
    if (Prompt::instance().confirm(tr("Continue with Printing From Page %1 to Page %2").arg(range->firstText, range->lastText)) != Prompt::Answer::Yes)
        return;
    if (!prepareJob())
        return;
    m_view->printer().PrintRange(range->first, range->last);
    Prompt::instance().plain(tr("Printing from Page %1 to Page %2").arg(range->firstText, range->lastText));
}

void PrintPreviewWindow::btnMarginsClick()
{
    MarginsDialog *dialog = windows().MarginsForm;
    if (!dialog)
        return;
    LxPageList &pages = m_view->pages();
    const LxMargins &m = pages.margins();
    dialog->SpinEdit1->setValue(rounded(m.left().as(LxMeasurement::Millimeters)));
    dialog->SpinEdit2->setValue(rounded(m.top().as(LxMeasurement::Millimeters)));
    dialog->SpinEdit3->setValue(rounded(m.right().as(LxMeasurement::Millimeters)));
    dialog->SpinEdit4->setValue(rounded(m.bottom().as(LxMeasurement::Millimeters)));
    if (dialog->exec() != QDialog::Accepted)
        return;
    pages.BeginUpdate();
    pages.margins().setSide(LxMargins::Left, LxMeasurement::Millimeters, dialog->SpinEdit1->value());
    pages.margins().setSide(LxMargins::Top, LxMeasurement::Millimeters, dialog->SpinEdit2->value());
    pages.margins().setSide(LxMargins::Right, LxMeasurement::Millimeters, dialog->SpinEdit3->value());
    pages.margins().setSide(LxMargins::Bottom, LxMeasurement::Millimeters, dialog->SpinEdit4->value());
    pages.header().setHeight(LxMeasurement::Millimeters, dialog->SpinHeader->value());
    pages.footer().setHeight(LxMeasurement::Millimeters, dialog->SpinFooter->value());
    m_paginator->ATopMargin = LxValue::from(LxMeasurement::Millimeters, dialog->SpinEdit2->value() + dialog->SpinHeader->value());
    m_paginator->ABottomMargin = LxValue::from(LxMeasurement::Millimeters, dialog->SpinEdit4->value() + dialog->SpinFooter->value());
    pages.EndUpdate();
    try {
        SaveMarginSettings();
    } catch (const Error &error) {
        Prompt::instance().error(error.message());
    }
    RebuildPreview();
}

void PrintPreviewWindow::btnHeaderClick()
{
    HeaderFooterDialog *dialog = windows().HeaderFooterForm;
    if (!dialog)
        return;
    LxPageList &pages = m_view->pages();
    dialog->dxCheckBox1->setChecked(pages.header().showLine());
    dialog->dxCheckBox2->setChecked(pages.footer().showLine());
    if (dialog->exec() != QDialog::Accepted)
        return;
    dialog->hide();
    pages.BeginUpdate();
    static const Qt::PenStyle styles[] = {Qt::SolidLine, Qt::DotLine, Qt::DashDotLine, Qt::DashDotDotLine};
    const QLineEdit *edits[] = {dialog->Edit1, dialog->Edit2, dialog->Edit3, dialog->Edit4, dialog->Edit5, dialog->Edit6};
    for (LxHeaderFooter *band : {&pages.header(), &pages.footer()}) {
        QPen pen = band->pen();
        pen.setColor(dialog->lineColour());
        const int style = dialog->ComboBox1->currentIndex();
        if (style >= 0 && style < 4)
            pen.setStyle(styles[style]);
        band->setPen(pen);
        const int first = band == &pages.header() ? 0 : 3;
        for (int i = 0; i < 3; ++i) {
            band->setCaptionFont(LxHeaderFooter::Position(i), dialog->Edit1->font());
            band->setCaption(LxHeaderFooter::Position(i), edits[first + i]->text());
        }
    }
    pages.header().setShowLine(dialog->dxCheckBox1->isChecked());
    pages.footer().setShowLine(dialog->dxCheckBox2->isChecked());
    pages.EndUpdate();
    RebuildPreview();
}

void PrintPreviewWindow::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        setWindowState(windowState() | Qt::WindowMaximized);
}

bool PrintPreviewWindow::event(QEvent *event)
{
    const bool handled = QDialog::event(event);
    if (event->type() == QEvent::WindowActivate)
        FormActivate();
    return handled;
}

void PrintPreviewWindow::FormActivate()
{
    m_view->FirstPage();
    m_view->FitWholePage();
}

void PrintPreviewWindow::wheelEvent(QWheelEvent *event)
{
    QScrollBar *bar = m_view->verticalScrollBar();
    const int range = bar->maximum();
    if (range <= 0) {
        event->ignore();
        return;
    }
    if (event->angleDelta().y() < 0) {
        if (bar->value() < range - 10)
            bar->setValue(bar->value() + 10);
    } else {
        bar->setValue(std::max(0, bar->value() - 10));
    }
    event->accept();
}
