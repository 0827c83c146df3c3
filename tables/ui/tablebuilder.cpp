#include "tables/ui/tablebuilder.h"

#include "metafile/emfdevice.h"
#include "shell/look.h"
#include "shell/prompt.h"
#include "shell/windowdesign.h"
#include "store/error.h"
#include "tables/celltext.h"
#include "tables/jpegwriter.h"
#include "tables/rendergrid.h"
#include "tables/tabletext.h"
#include "tables/ui/stringgrid.h"
#include "widgets/ui/gradientbutton.h"
#include "widgets/ui/gradientcheckbox.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPainter>
#include <QScreen>
#include <QShowEvent>
#include <QStyle>

namespace {

void processPendingEvents()
{
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

// A small picture of text lines aligned left, centred or right, for the alignment buttons.
QPixmap alignmentGlyph(Qt::Alignment alignment)
{
    QPixmap glyph(16, 16);
    glyph.fill(Qt::transparent);
    QPainter p(&glyph);
    const int widths[] = {14, 9, 12, 7};
    for (int i = 0; i < 4; ++i) {
        const int w = widths[i];
        const int x = alignment == Qt::AlignLeft ? 1 : alignment == Qt::AlignRight ? 15 - w : (16 - w) / 2;
        p.fillRect(QRect(x, 2 + i * 4, w, 2), QColor(40, 40, 90));
    }
    return glyph;
}

QLabel *makeLabel(QWidget *parent, const char *name, const QString &caption, const QRect &geometry)
{
    auto *label = new QLabel(caption, parent);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(geometry);
    return label;
}

GradientCheckBox *makeCheckBox(QWidget *parent, const char *name, const QString &caption, const QRect &geometry)
{
    auto *box = new GradientCheckBox(caption, parent);
    box->setObjectName(QLatin1String(name));
    box->setAccessibleName(caption);
    box->setGeometry(geometry);
    box->setChecked(true);
    return box;
}

const char *const SaveFilters[] = {
    QT_TRANSLATE_NOOP("TableBuilder", "Bitmaps (*.bmp)"),
    QT_TRANSLATE_NOOP("TableBuilder", "JPEG Image File (*.jpg)"),
    QT_TRANSLATE_NOOP("TableBuilder", "Enhanced Metafiles (*.emf)"),
};

} // namespace

// ---- number fields ------------------------------------------------------------------------------

SizeField::SizeField(int minimum, int maximum, QWidget *parent)
    : QSpinBox(parent)
    , m_minimum(minimum)
    , m_maximum(maximum)
{
    // Typing is not held to the range; only leaving the field is.
    setRange(-99999, 99999);
    setSingleStep(10);
}

void SizeField::stepBy(int steps)
{
    Q_EMIT stepped(steps);
}

int SizeField::typedValue(int fallback) const
{
    bool ok = false;
    const int value = cleanText().toInt(&ok);
    return ok ? value : fallback;
}

void SizeField::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        Q_EMIT entered();
        return;
    }
    QSpinBox::keyPressEvent(event);
}

void SizeField::focusOutEvent(QFocusEvent *event)
{
    QSpinBox::focusOutEvent(event);
    setValue(std::clamp(typedValue(m_minimum), m_minimum, m_maximum));
}

CountField::CountField(QWidget *parent)
    : QSpinBox(parent)
{
    setRange(1, TableText::MaxCount);
    setValue(TableGrid::DefaultCount);
}

void CountField::stepBy(int steps)
{
    m_stepping = true;
    QSpinBox::stepBy(steps);
    m_stepping = false;
}

// ---- window -------------------------------------------------------------------------------------

TableBuilder::TableBuilder(QWidget *parent)
    : QDialog(parent)
{
    designWindow(this, "DllForms", tr("Verbosa StringGrid Table"), QSize(740, 594), Frame::Sizable);

    QWidget *top = makeBand(this, "RbPanel1", QColor(116, 143, 189), QColor(60, 80, 130));
    top->setGeometry(0, 0, 740, 40);
    auto *label4 = makeLabel(top, "Label4", tr("Insert Text:"), QRect(8, 12, 80, 16));
    label4->setStyleSheet(QStringLiteral("color: white; font-weight: bold"));
    m_edit = new QLineEdit(top);
    m_edit->setObjectName(QStringLiteral("Edit1"));
    m_edit->setAccessibleName(tr("Insert Text:"));
    m_edit->setGeometry(92, 8, 560, 24);
    label4->setBuddy(m_edit);
    m_edit->installEventFilter(this);
    QAbstractButton *clear = makeFlatButton(top, "btnClearTabel", QString(), tr("Clear Table"), QRect(664, 6, 30, 28));
    clear->setIcon(style()->standardIcon(QStyle::SP_DialogResetButton));
    QAbstractButton *help = makeFlatButton(top, "SpeedButton1", tr("?"), tr("Help..."), QRect(700, 6, 30, 28));
    help->setAccessibleName(tr("Help..."));
    connect(clear, &QAbstractButton::clicked, this, &TableBuilder::btnClearTabelClick);
    connect(help, &QAbstractButton::clicked, this, &TableBuilder::SpeedButton1Click);

    m_grid = new StringGrid(&m_design.grid(), this);
    m_grid->setGeometry(8, 46, 724, 356);
    m_grid->setCellPainter([this](QPainter &p, int c, int r, const QRect &rect) { paintCell(p, c, r, rect); });
    connect(m_grid, &StringGrid::currentChanged, this, [this](int c, int r) {
        m_edit->setText(m_design.grid().cell(c, r));
        gridClick();
    });
    connect(m_grid, &StringGrid::editRequested, this, [this] {
        m_edit->setText(m_design.grid().cell(m_grid->col(), m_grid->row()));
        if (m_edit->isEnabled() && m_edit->isVisible())
            m_edit->setFocus();
    });
    connect(m_grid, &StringGrid::layoutDragged, this, [this] { gridClick(); });

    QWidget *panel = makeContentPanel(this, "RbPanel2", 1, false);
    panel->setGeometry(8, 408, 724, 178);

    // Sizes.
    m_autoHeight = makeCheckBox(panel, "chkAutoHeight", tr("Auto Cell Height"), QRect(10, 10, 130, 20));
    m_label3 = makeLabel(panel, "Label3", QString(), QRect(150, 10, 250, 20));
    QAbstractButton *narrower = makeButton(panel, "dxToolButton1", QString(), tr("Decrease Column Width"),
                                           QRect(410, 8, 24, 24));
    QAbstractButton *wider = makeButton(panel, "dxToolButton2", QString(), tr("Increase Column Width"),
                                        QRect(438, 8, 24, 24));
    if (auto *g = qobject_cast<GradientButton *>(narrower))
        g->setGlyph(style()->standardIcon(QStyle::SP_ArrowLeft).pixmap(12, 12));
    if (auto *g = qobject_cast<GradientButton *>(wider))
        g->setGlyph(style()->standardIcon(QStyle::SP_ArrowRight).pixmap(12, 12));
    m_colWidth = new SizeField(10, 600, panel);
    m_colWidth->setObjectName(QStringLiteral("SetColWidth"));
    m_colWidth->setToolTip(tr("Set Cell Width"));
    m_colWidth->setAccessibleName(tr("Set Cell Width"));
    m_colWidth->setGeometry(470, 8, 70, 24);
    m_rowHeight = new SizeField(10, 1000, panel);
    m_rowHeight->setObjectName(QStringLiteral("SetRowHeight"));
    m_rowHeight->setToolTip(tr("Set Cell Height"));
    m_rowHeight->setAccessibleName(tr("Set Cell Height"));
    m_rowHeight->setGeometry(550, 8, 70, 24);
    m_rowHeight->setEnabled(false);
    connect(m_autoHeight, &QAbstractButton::toggled, this, [this](bool on) { m_rowHeight->setEnabled(!on); });
    connect(narrower, &QAbstractButton::clicked, this,
            [this] { setColWidth(std::max(10, m_design.grid().colWidth(m_grid->col()) - 1)); });
    connect(wider, &QAbstractButton::clicked, this,
            [this] { setColWidth(std::min(600, m_design.grid().colWidth(m_grid->col()) + 1)); });
    connect(m_colWidth, &SizeField::stepped, this, [this](int steps) {
        const int w = m_design.grid().colWidth(m_grid->col());
        setColWidth(steps > 0 ? std::min(600, w + 10) : std::max(10, w - 10));
    });
    connect(m_rowHeight, &SizeField::stepped, this, [this](int steps) {
        const int h = m_design.grid().rowHeight(m_grid->row());
        setRowHeight(steps > 0 ? std::min(1000, h + 10) : std::max(10, h - 10));
    });
    connect(m_colWidth, &SizeField::entered, this, [this] { setColWidth(m_colWidth->typedValue(10)); });
    connect(m_rowHeight, &SizeField::entered, this, [this] { setRowHeight(m_rowHeight->typedValue(10)); });

    // Counts and headers.
    makeLabel(panel, "Label1", tr("Columns"), QRect(10, 44, 56, 20));
    m_colCount = new CountField(panel);
    m_colCount->setObjectName(QStringLiteral("ColCount"));
    m_colCount->setAccessibleName(tr("Columns"));
    m_colCount->setGeometry(70, 42, 60, 24);
    makeLabel(panel, "Label2", tr("Rows"), QRect(150, 44, 40, 20));
    m_rowCount = new CountField(panel);
    m_rowCount->setObjectName(QStringLiteral("RowCount"));
    m_rowCount->setAccessibleName(tr("Rows"));
    m_rowCount->setGeometry(194, 42, 60, 24);
    connect(m_colCount, &QSpinBox::valueChanged, this, [this] { countChanged(m_colCount, true); });
    connect(m_rowCount, &QSpinBox::valueChanged, this, [this] { countChanged(m_rowCount, false); });
    m_colHeader = makeCheckBox(panel, "chkColH", tr("Show Column Header"), QRect(280, 44, 150, 20));
    m_rowHeader = makeCheckBox(panel, "chkRowH", tr("Show Row Header"), QRect(440, 44, 150, 20));
    connect(m_colHeader, &QAbstractButton::toggled, this, [this](bool on) { headerToggled(true, on); });
    connect(m_rowHeader, &QAbstractButton::toggled, this, [this](bool on) { headerToggled(false, on); });

    // Alignment, colours and fonts.
    const struct {
        const char *name;
        const char *hint;
        Qt::Alignment glyph;
        quint8 value;
    } aligns[] = {{"btnAlignLeft", QT_TR_NOOP("Align Left"), Qt::AlignLeft, 0},
                  {"btnAlignCenter", QT_TR_NOOP("Align Center"), Qt::AlignHCenter, 2},
                  {"btnAlignRight", QT_TR_NOOP("Align Right"), Qt::AlignRight, 1}};
    int x = 10;
    for (const auto &a : aligns) {
        QAbstractButton *button = makeButton(panel, a.name, QString(), tr(a.hint), QRect(x, 78, 30, 26));
        if (auto *g = qobject_cast<GradientButton *>(button))
            g->setGlyph(alignmentGlyph(a.glyph));
        const quint8 value = a.value;
        connect(button, &QAbstractButton::clicked, this, [this, value] { setAlignment(value); });
        x += 34;
    }
    makeLabel(panel, "Label5", tr("Colour:"), QRect(124, 82, 50, 20));
    QAbstractButton *cell = makeButton(panel, "RbButton1", tr("Cell"), QString(), QRect(176, 78, 64, 26));
    QAbstractButton *column = makeButton(panel, "dxButton5", tr("Column"), QString(), QRect(244, 78, 64, 26));
    QAbstractButton *row = makeButton(panel, "dxButton6", tr("Row"), QString(), QRect(312, 78, 64, 26));
    connect(cell, &QAbstractButton::clicked, this, [this] { colourCommand(0); });
    connect(column, &QAbstractButton::clicked, this, [this] { colourCommand(1); });
    connect(row, &QAbstractButton::clicked, this, [this] { colourCommand(2); });
    makeLabel(panel, "Label6", tr("Font:"), QRect(386, 82, 36, 20));
    QAbstractButton *tableFont = makeButton(panel, "RbButton3", tr(" Table"), QString(), QRect(422, 78, 64, 26));
    QAbstractButton *headerFont = makeButton(panel, "RbButton4", tr("Header"), QString(), QRect(490, 78, 64, 26));
    makeLabel(panel, "Label7", tr("Header colour:"), QRect(562, 82, 92, 20));
    QAbstractButton *headerColour = makeButton(panel, "RbButton5", tr("Header"), QString(), QRect(656, 78, 60, 26));
    headerColour->setAccessibleName(tr("Header colour"));
    connect(tableFont, &QAbstractButton::clicked, this, &TableBuilder::bodyFontCommand);
    connect(headerFont, &QAbstractButton::clicked, this, &TableBuilder::headerFontCommand);
    connect(headerColour, &QAbstractButton::clicked, this, [this] { colourCommand(3); });

    // Files and results.
    const struct {
        const char *name;
        const char *caption;
        void (TableBuilder::*handler)();
    } commands[] = {{"btnImport", QT_TR_NOOP("Import"), &TableBuilder::btnImportClick},
                    {"btnExport", QT_TR_NOOP("Export"), &TableBuilder::btnExportClick},
                    {"btnInsert", QT_TR_NOOP("Bitmap"), &TableBuilder::btnInsertClick},
                    {"btnEmf", QT_TR_NOOP("Metafile"), &TableBuilder::btnEmfClick},
                    {"RbButton6", QT_TR_NOOP("Save As"), &TableBuilder::RbButton6Click},
                    {"RbButton7", QT_TR_NOOP("Close"), &TableBuilder::RbButton7Click}};
    x = 10;
    for (const auto &command : commands) {
        QAbstractButton *button = makeButton(panel, command.name, tr(command.caption), QString(), QRect(x, 136, 110, 30));
        connect(button, &QAbstractButton::clicked, this, command.handler);
        x += 118;
    }

    refreshSizeFields();
}

void TableBuilder::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        centreWindow(this, parentWidget());
    processPendingEvents();
    focusGrid();
}

void TableBuilder::changeEvent(QEvent *event)
{
    QDialog::changeEvent(event);
    // Each activation hands the grid the focus, also on return from the builder's own dialogs.
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        focusGrid();
}

void TableBuilder::reject()
{
    // Close, the close box and Escape end a showing without a picture for the recipe.
    m_inserted = false;
    QDialog::reject();
}

void TableBuilder::RbButton7Click()
{
    reject();
}

void TableBuilder::closeWithInsert()
{
    m_inserted = true;
    QDialog::accept();
}

void TableBuilder::focusGrid()
{
    if (m_grid->isEnabled())
        m_grid->setFocus();
}

bool TableBuilder::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_edit && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            m_design.grid().setCell(m_grid->col(), m_grid->row(), m_edit->text());
            gridClick();
            m_grid->viewport()->update();
            focusGrid();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TableBuilder::paintCell(QPainter &painter, int col, int row, const QRect &rect)
{
    refreshSizeFields();
    const TCellStyle &style = m_design.styles().lookup(row, col);
    static const CellFont fallback = TableDesign::gridFont();
    const CellFont &font = style.Font ? *style.Font : fallback;
    painter.fillRect(rect, style.Colour);
    CellText::Layout layout;
    if (row == 0 && m_colHeader->isChecked())
        layout = CellText::Layout::SingleCentre;
    else if (col == 0 && m_rowHeader->isChecked())
        layout = CellText::Layout::SingleLeft;
    else if (style.Alignment == 0)
        layout = CellText::Layout::WrapLeft;
    else if (style.Alignment == 1)
        layout = CellText::Layout::WrapRight;
    else if (style.Alignment == 2)
        layout = CellText::Layout::WrapCentre;
    else
        return;
    CellText::draw(painter, rect, m_design.grid().cell(col, row), layout, font.font, font.color);
}

void TableBuilder::refreshSizeFields()
{
    const int width = m_design.grid().colWidth(m_grid->col());
    const int height = m_design.grid().rowHeight(m_grid->row());
    if (!m_colWidth->hasFocus() && m_colWidth->value() != width)
        m_colWidth->setValue(width);
    if (!m_rowHeight->hasFocus() && m_rowHeight->value() != height)
        m_rowHeight->setValue(height);
    const QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    const int dpi = screen ? int(screen->logicalDotsPerInchX()) : 96;
    const QString readout = TableDesign::columnWidthReadout(width, dpi, QLocale());
    if (m_label3->text() != readout)
        m_label3->setText(readout);
}

void TableBuilder::gridClick()
{
    refreshSizeFields();
    if (m_autoHeight->isChecked()) {
        m_design.applyAutoHeightAt(m_grid->col(), m_grid->row());
        m_grid->tableChanged();
    }
    refreshSizeFields();
}

void TableBuilder::tableChanged()
{
    m_grid->tableChanged();
    refreshSizeFields();
}

void TableBuilder::setColWidth(int width)
{
    m_design.grid().setColWidth(m_grid->col(), width);
    tableChanged();
    gridClick();
    focusGrid();
}

void TableBuilder::setRowHeight(int height)
{
    m_design.grid().setRowHeight(m_grid->row(), height);
    tableChanged();
    gridClick();
    focusGrid();
}

void TableBuilder::countChanged(CountField *field, bool columns)
{
    const int value = field->value();
    if (columns)
        field->stepping() ? m_design.stepColCount(value) : m_design.setColCount(value);
    else
        field->stepping() ? m_design.stepRowCount(value) : m_design.setRowCount(value);
    tableChanged();
    focusGrid();
}

void TableBuilder::headerToggled(bool columnHeader, bool on)
{
    try {
        if (columnHeader)
            m_design.setHeaderRow(on);
        else
            m_design.setHeaderColumn(on);
    } catch (const Error &error) {
        Prompt::instance().error(error.message());
    }
    tableChanged();
    m_grid->setCurrent(m_grid->col(), m_grid->row());
    focusGrid();
}

void TableBuilder::setAlignment(quint8 alignment)
{
    m_design.setAlignment(m_grid->col(), m_grid->row(), alignment);
    m_grid->viewport()->update();
    focusGrid();
}

void TableBuilder::colourCommand(int which)
{
    const int col = m_grid->col(), row = m_grid->row();
    const QColor start = which == 3 ? m_design.headerColour() : m_design.cellColour(col, row);
    const std::optional<QColor> chosen = Prompt::instance().color(start);
    if (!chosen)
        return;
    switch (which) {
    case 0: m_design.setCellColour(col, row, *chosen); break;
    case 1: m_design.setColumnColour(col, *chosen); break;
    case 2: m_design.setRowColour(row, *chosen); break;
    default: m_design.setHeaderColour(*chosen); break;
    }
    m_grid->viewport()->update();
    focusGrid();
}

void TableBuilder::applyBodyFont(const QFont &font)
{
    m_design.setBodyFont(CellFont{font, m_design.bodyFont() ? m_design.bodyFont()->color : QColor(Qt::black)});
    m_grid->viewport()->update();
    if (m_autoHeight->isChecked()) {
        m_design.applyAutoHeightToTable();
        tableChanged();
    }
}

void TableBuilder::applyHeaderFont(const QFont &font)
{
    m_design.setHeaderFont(CellFont{font, m_design.headerFont() ? m_design.headerFont()->color : QColor(Qt::black)});
    m_grid->viewport()->update();
}

void TableBuilder::bodyFontCommand()
{
    Prompt::FontRequest request;
    request.initial = m_design.bodyFont()->font;
    request.title = tr("Table Font");
    request.apply = [this](const QFont &font) { applyBodyFont(font); };
    if (const std::optional<QFont> font = Prompt::instance().font(request)) {
        m_design.setBodyFont(CellFont{*font, m_design.bodyFont()->color});
        m_grid->viewport()->update();
    }
    // Confirmed or not, the rows are measured again.
    if (m_autoHeight->isChecked()) {
        m_design.applyAutoHeightToTable();
        tableChanged();
    }
    focusGrid();
}

void TableBuilder::headerFontCommand()
{
    Prompt::FontRequest request;
    request.initial = m_design.headerFont()->font;
    request.title = tr("Header Font");
    request.apply = [this](const QFont &font) { applyHeaderFont(font); };
    if (const std::optional<QFont> font = Prompt::instance().font(request))
        applyHeaderFont(*font);
    focusGrid();
}

void TableBuilder::btnClearTabelClick()
{
    if (Prompt::instance().confirm(tr("Clear Table and Reset Cell Sizes?")) == Prompt::Answer::Yes) {
        m_design.clearTable();
        m_colCount->setValue(TableGrid::DefaultCount);
        m_rowCount->setValue(TableGrid::DefaultCount);
        tableChanged();
        m_edit->setText(m_design.grid().cell(m_grid->col(), m_grid->row()));
    }
    focusGrid();
}

QString TableBuilder::helpText()
{
    static const char *const lines[] = {
        QT_TR_NOOP("This is a short help tutorial for Inserting a Table / StringGrid."),
        "",
        QT_TR_NOOP("- If you insert the table as a Bitmap image, only what is visible will be used."),
        QT_TR_NOOP("  Everything outside the visible area will be cut automatically from the Bitmap. "),
        "",
        QT_TR_NOOP("- If you insert the table as a Metafile, everything will be added to the image."),
        QT_TR_NOOP("  Even the table cells beyond the scrolling area will be included into the image."),
        "",
        QT_TR_NOOP("- The Metafile has better text quality when printing or for viewing purposes only."),
        QT_TR_NOOP("  Any of the two image formats are compatible and usable no matter what the contents are."),
        "",
        QT_TR_NOOP("- There is a maximum of 100 rows and 100 columns available. Only the Metafile can use them all."),
        "",
        QT_TR_NOOP("To fill a cell with text, just press on the [Enter] button and start typing."),
        QT_TR_NOOP("When finished typing, press on the [Enter] button again to insert your text."),
        "",
        QT_TR_NOOP("To move around in the table, use the direction keys or [TAB] button, the mouse's scrollwheel works too."),
    };
    QStringList text;
    for (const char *line : lines)
        text << (*line ? tr(line) : QString());
    return text.join(QLatin1Char('\n'));
}

void TableBuilder::SpeedButton1Click()
{
    Prompt::instance().information(helpText());
}

QImage TableBuilder::gridSnapshot() const
{
    QImage image = m_grid->snapshot();
    if (image.isNull())
        return image;
    QPainter painter(&image);
    const QColor silver(192, 192, 192);
    painter.setPen(m_rowHeader->isChecked() ? QColor(Qt::black) : silver);
    painter.drawLine(0, 0, 0, image.height());
    painter.setPen(m_colHeader->isChecked() ? QColor(Qt::black) : silver);
    painter.drawLine(0, 0, image.width(), 0);
    return image;
}

void TableBuilder::btnInsertClick()
{
    m_edit->setFocus();
    processPendingEvents();
    const QImage snapshot = gridSnapshot();
    QApplication::clipboard()->setImage(snapshot);
    m_inserted = true;
    if (snapshot.isNull() || QApplication::clipboard()->image().isNull())
        Prompt::instance().plain(tr("Error in Creating Image"));
    closeWithInsert();
}

void TableBuilder::btnEmfClick()
{
    TRenderGrid renderer(&m_design.grid(), &m_design.styles(),
                         [](const QString &message) { Prompt::instance().error(message); });
    renderer.Render();
    processPendingEvents();
    if (renderer.Metafile().isEmpty()) {
        // Nothing was drawn: the recipe must not receive whatever the clipboard held before.
        reject();
        return;
    }
    auto *data = new QMimeData;
    data->setData(EmfDevice::mimeType(), renderer.Metafile());
    data->setImageData(renderer.renderImage()); // other programs take the picture as PNG
    QApplication::clipboard()->setMimeData(data);
    closeWithInsert();
}

void TableBuilder::RbButton6Click()
{
    processPendingEvents();
    const QImage snapshot = gridSnapshot();
    QString filter;
    Prompt::FileRequest request;
    request.title = tr("Save As");
    request.filter = tr(SaveFilters[0]) + QLatin1String(";;") + tr(SaveFilters[1])
        + QLatin1String(";;") + tr(SaveFilters[2]);
    request.defaultExtension = QStringLiteral("bmp");
    request.selectedFilter = &filter;
    const std::optional<QString> path = Prompt::instance().saveFileName(request);
    if (!path)
        return;
    try {
        if (filter == tr(SaveFilters[1])) {
            WriteJpeg(snapshot, *path, 100);
        } else if (filter == tr(SaveFilters[2])) {
            TRenderGrid renderer(&m_design.grid(), &m_design.styles(),
                                 [](const QString &message) { Prompt::instance().error(message); });
            renderer.Render();
            QFile file(*path);
            if (renderer.Metafile().isEmpty() || !file.open(QIODevice::WriteOnly | QIODevice::Truncate)
                || file.write(renderer.Metafile()) != renderer.Metafile().size() || !file.flush())
                throw Error(tr("Error in Creating Image File"));
        } else if (snapshot.isNull() || !snapshot.save(*path, "BMP")) {
            throw Error(tr("Error in Creating Image File"));
        }
    } catch (const Error &) {
        Prompt::instance().plain(tr("Error in Creating Image File"));
    }
}

void TableBuilder::btnImportClick()
{
    processPendingEvents();
    Prompt::FileRequest request;
    request.title = tr("Open Text File");
    request.filter = tr("Table To Text File (*.txt)");
    request.defaultExtension = QStringLiteral("txt");
    request.confirmOverwrite = false;
    if (const std::optional<QString> path = Prompt::instance().openFileName(request)) {
        try {
            m_design.importFile(*path);
            m_colCount->setValue(std::min(m_design.grid().colCount(), TableText::MaxCount));
            m_rowCount->setValue(std::min(m_design.grid().rowCount(), TableText::MaxCount));
            if (m_autoHeight->isChecked())
                m_design.applyAutoHeightToTable();
        } catch (const Error &error) {
            Prompt::instance().error(error.message());
        }
        tableChanged();
        m_edit->setText(m_design.grid().cell(m_grid->col(), m_grid->row()));
    }
    focusGrid();
}

void TableBuilder::btnExportClick()
{
    processPendingEvents();
    Prompt::FileRequest request;
    request.title = tr("Save Table to Text or CSV");
    request.filter = tr("Table To Text File (*.txt);;CSV - Comma Separated Values File (*.csv)");
    request.defaultExtension = QStringLiteral("txt");
    if (const std::optional<QString> path = Prompt::instance().saveFileName(request)) {
        try {
            switch (TableText::exportKindFor(*path)) {
            case TableText::ExportKind::TableText: TableText::writeFile(*path, m_design.grid()); break;
            case TableText::ExportKind::Csv: {
                QApplication::setOverrideCursor(Qt::WaitCursor);
                struct Restore {
                    ~Restore() { QApplication::restoreOverrideCursor(); }
                } restore;
                TableText::writeCsvFile(*path, m_design.grid());
                break;
            }
            case TableText::ExportKind::None: break;
            }
        } catch (const Error &error) {
            Prompt::instance().error(error.message());
        }
    }
    focusGrid();
}
