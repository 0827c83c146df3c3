#include "pickers/ui/charactermap.h"

#include "pickers/charactergrid.h"
#include "pickers/characterpreview.h"
#include "pickers/ui/windowstacking.h"
#include "shell/look.h"
#include "shell/windowdesign.h"
#include "widgets/ui/gradientpanel.h"

#include <QAbstractButton>
#include <QClipboard>
#include <QFontComboBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QShowEvent>
#include <QStyledItemDelegate>
#include <QTableWidget>

namespace {

const QColor Navy(0, 0, 128);
const QSize PreviewSize(121, 129);
// A cell is 24 pixels inside its grid line.
constexpr int CellPitch = 25;
constexpr int CodeRole = Qt::UserRole;

// Draws a cell empty when the chosen family has no glyph for its character, so that the grid
// shows the font's own characters rather than those of a stand-in font.
class CellDelegate final : public QStyledItemDelegate
{
public:
    CellDelegate(const QRawFont *font, QObject *parent)
        : QStyledItemDelegate(parent)
        , m_font(font)
    {
    }

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        option->displayAlignment = Qt::AlignCenter;
        if (m_font->isValid() && !m_font->supportsCharacter(char32_t(index.data(CodeRole).toUInt())))
            option->text.clear();
    }

private:
    const QRawFont *m_font;
};

QLabel *makeLabel(QWidget *parent, const char *name, const QString &text, const QRect &geometry)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(geometry);
    return label;
}

} // namespace

CharacterMap::CharacterMap(QWidget *parent)
    : QDialog(parent)
{
    designWindow(this, "DLLForm", tr("Character Map"), QSize(718, 538), Frame::Borderless);

    makeTitleBand(this, "RbPanel1", tr("Character Map"), 45, 24);

    QWidget *panel = makeContentPanel(this, "RbPanel3", 3, false);
    panel->setGeometry(0, 45, width(), height() - 45);
    if (auto *gradientPanel = qobject_cast<GradientPanel *>(panel)) {
        gradientPanel->setCaption(tr("Current Font Selection"));
        gradientPanel->setShowCaption(true);
    }
    panel->setAccessibleName(tr("Current Font Selection"));

    m_fonts = new QFontComboBox(panel);
    m_fonts->setObjectName(QStringLiteral("FontComboBox1"));
    m_fonts->setAccessibleName(tr("Font"));
    m_fonts->setEditable(false);
    m_fonts->setGeometry(16, 28, 300, 26);
    connect(m_fonts, &QFontComboBox::currentFontChanged, this,
            [this](const QFont &font) { FontComboBox1Change(font.family()); });

    QAbstractButton *previous = m_previousPage = makeButton(panel, "btnPreviousPage", QStringLiteral("<"),
                                                            tr("Previous 256 characters"), QRect(342, 28, 30, 26));
    m_pageRange = makeLabel(panel, "lblPage", CharacterGrid::pageRange(0), QRect(376, 28, 112, 26));
    m_pageRange->setAlignment(Qt::AlignCenter);
    m_pageRange->setAccessibleName(tr("Characters shown"));
    QAbstractButton *next = m_nextPage = makeButton(panel, "btnNextPage", QStringLiteral(">"),
                                                    tr("Next 256 characters"), QRect(488, 28, 30, 26));
    previous->setAccessibleName(tr("Previous 256 characters"));
    next->setAccessibleName(tr("Next 256 characters"));
    connect(previous, &QAbstractButton::clicked, this, [this] { setPage(m_page - 1); });
    connect(next, &QAbstractButton::clicked, this, [this] { setPage(m_page + 1); });

    m_grid = new QTableWidget(CharacterGrid::Rows, CharacterGrid::Columns, panel);
    m_grid->setObjectName(QStringLiteral("StringGrid1"));
    m_grid->setAccessibleName(tr("Characters"));
    m_grid->horizontalHeader()->hide();
    m_grid->verticalHeader()->hide();
    for (QHeaderView *header : {m_grid->horizontalHeader(), m_grid->verticalHeader()}) {
        header->setMinimumSectionSize(1);
        header->setDefaultSectionSize(CellPitch);
        header->setSectionResizeMode(QHeaderView::Fixed);
    }
    m_grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setShowGrid(true);
    m_grid->setItemDelegate(new CellDelegate(&m_rawFont, m_grid));
    const int frame = 2 * m_grid->frameWidth();
    m_grid->setGeometry(16, 62, CharacterGrid::Columns * CellPitch + frame, CharacterGrid::Rows * CellPitch + frame);
    QFont designed(QStringLiteral("Arial"));
    designed.setPixelSize(24);
    m_grid->setFont(designed);
    m_grid->setCurrentCell(0, 0);
    connect(m_grid, &QTableWidget::currentCellChanged, this,
            [this](int row, int column) { StringGrid1SelectCell(column, row); });
    // A click on the highlighted cell selects it too, though the current cell does not change.
    connect(m_grid, &QTableWidget::cellClicked, this, [this](int row, int column) { StringGrid1SelectCell(column, row); });

    m_preview = makeLabel(panel, "Image1", QString(), QRect(QPoint(560, 62), PreviewSize));
    m_preview->setAccessibleName(tr("Selected character"));
    makeLabel(panel, "Label2", tr("ALT + "), QRect(560, 204, 44, 20));
    m_code = makeLabel(panel, "Label4", QString(), QRect(604, 204, 80, 20));
    m_code->setAccessibleName(tr("Keyboard code"));

    QAbstractButton *insert = makeButton(panel, "btnInsert", tr("  Insert"), QString(), QRect(560, 236, 121, 28));
    m_line = new QLineEdit(panel);
    m_line->setObjectName(QStringLiteral("Edit1"));
    m_line->setAccessibleName(tr("Characters to insert"));
    m_line->setGeometry(16, 402, 400, 30);
    QPalette navyText = m_line->palette();
    navyText.setColor(QPalette::Text, Navy);
    m_line->setPalette(navyText);
    m_grid->setPalette(navyText);
    QAbstractButton *add = makeButton(panel, "btnAdd", tr("Add"), QString(), QRect(424, 403, 94, 28));
    QAbstractButton *insertLine = makeButton(panel, "btnInsertLine", tr("Insert Line"), QString(), QRect(560, 403, 121, 28));
    QAbstractButton *close = makeButton(panel, "RbButton1", tr("  Close"), QString(), QRect(560, 444, 121, 28));
    connect(insert, &QAbstractButton::clicked, this, &CharacterMap::dxButton2Click);
    connect(add, &QAbstractButton::clicked, this, &CharacterMap::btnAddClick);
    connect(insertLine, &QAbstractButton::clicked, this, &CharacterMap::btnInsertLineClick);
    connect(close, &QAbstractButton::clicked, this, &CharacterMap::dxButton1Click);

    setTabOrder(m_fonts, previous);
    setTabOrder(previous, next);
    setTabOrder(next, m_grid);
    setTabOrder(m_grid, insert);
    setTabOrder(insert, m_line);
    setTabOrder(m_line, add);
    setTabOrder(add, insertLine);
    setTabOrder(insertLine, close);
    setPage(0);
}

QFont CharacterMap::gridFont() const
{
    return m_grid->font();
}

void CharacterMap::setFontName(const QString &name)
{
    if (name == m_fontName)
        return;
    const int index = m_fonts->findText(name, Qt::MatchFixedString);
    const QString family = index >= 0 ? m_fonts->itemText(index) : QFontInfo(QFont(name)).family();
    if (family == m_fontName)
        return;
    {
        const QSignalBlocker quiet(m_fonts);
        m_fonts->setCurrentFont(QFont(family));
    }
    FontComboBox1Change(family);
}

void CharacterMap::FontComboBox1Change(const QString &family)
{
    m_fontName = family;
    // The list names a family that several foundries make as "Family [Foundry]". The recipe keeps
    // the plain family name wherever that name alone finds the same font.
    QString face = family;
    if (const qsizetype bracket = family.lastIndexOf(QLatin1String(" ["));
        bracket > 0 && family.endsWith(QLatin1Char(']'))) {
        const QString plain = family.left(bracket);
        if (QFontInfo(QFont(plain)).family() == family)
            face = plain;
    }
    QFont font(face, 12);
    font.setFamilies({face});
    m_grid->setFont(font);
    m_line->setFont(font);
    m_rawFont = QRawFont::fromFont(font);
    fillGrid();
}

void CharacterMap::setPage(int page)
{
    m_page = qBound(0, page, CharacterGrid::PageCount - 1);
    m_pageRange->setText(CharacterGrid::pageRange(m_page));
    m_previousPage->setEnabled(m_page > 0);
    m_nextPage->setEnabled(m_page < CharacterGrid::PageCount - 1);
    fillGrid();
    StringGrid1SelectCell(m_remembered.x(), m_remembered.y());
}

void CharacterMap::fillGrid()
{
    if (m_fontName.isEmpty())
        return; // the designed grid stays empty until a font is chosen
    for (int row = 0; row < CharacterGrid::Rows; ++row) {
        for (int column = 0; column < CharacterGrid::Columns; ++column) {
            QTableWidgetItem *cell = m_grid->item(row, column);
            if (!cell) {
                cell = new QTableWidgetItem;
                cell->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
                cell->setTextAlignment(Qt::AlignCenter);
                m_grid->setItem(row, column, cell);
            }
            const char32_t code = CharacterGrid::codeAt(column, row, m_page);
            cell->setText(CharacterGrid::textOf(code));
            cell->setData(CodeRole, uint(code));
        }
    }
    m_grid->viewport()->update();
}

QString CharacterMap::remembered() const
{
    return CharacterGrid::textOf(CharacterGrid::codeAt(m_remembered.x(), m_remembered.y(), m_page));
}

void CharacterMap::StringGrid1SelectCell(int column, int row)
{
    if (column < 0 || row < 0)
        return;
    const char32_t code = CharacterGrid::codeAt(column, row, m_page);
    m_code->setText(CharacterGrid::altCode(code));
    m_remembered = QPoint(column, row);
    m_preview->setPixmap(QPixmap::fromImage(characterPreview(PreviewSize, gridFont(), CharacterGrid::textOf(code))));
}

void CharacterMap::dxButton2Click()
{
    QGuiApplication::clipboard()->setText(remembered());
    accept();
}

void CharacterMap::btnAddClick()
{
    m_line->setText(m_line->text() + remembered());
}

void CharacterMap::btnInsertLineClick()
{
    QGuiApplication::clipboard()->setText(m_line->text());
    accept();
}

void CharacterMap::dxButton1Click()
{
    if (m_grid->currentRow() >= 0 && m_grid->currentColumn() >= 0)
        m_remembered = QPoint(m_grid->currentColumn(), m_grid->currentRow());
    reject();
}

void CharacterMap::FormActivate()
{
    StringGrid1SelectCell(m_remembered.x(), m_remembered.y());
    m_line->clear();
}

void CharacterMap::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        keepAboveOpener(this);
        centreWindow(this, parentWidget());
        // Once per showing rather than on every activation, so that switching to another
        // program and back keeps the line being composed.
        FormActivate();
    }
}
