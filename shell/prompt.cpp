#include "shell/prompt.h"

#include "shell/appinfo.h"
#include "shell/windowdesign.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QPushButton>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

namespace {

Prompt *installedPrompt = nullptr;

// A message box that stays centred on the screen once it has its final size. Its text is shown as
// plain text: messages carry names the user typed, and a name like "<b>cakes</b>" is no markup.
class CentredMessageBox : public QMessageBox
{
public:
    CentredMessageBox(Icon icon, const QString &title, const QString &text, QWidget *parent)
        : QMessageBox(icon, title, QString(), NoButton, parent)
    {
        setTextFormat(Qt::PlainText);
        setText(text);
    }

protected:
    void showEvent(QShowEvent *event) override
    {
        QMessageBox::showEvent(event);
        centreWindow(this, nullptr);
    }
};

void showBox(const QString &caption, QMessageBox::Icon icon, const QString &text, const char *objectName)
{
    CentredMessageBox box(icon, caption, text, QApplication::activeWindow());
    box.setObjectName(QLatin1String(objectName));
    QPushButton *ok = box.addButton(QObject::tr("OK"), QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    box.exec();
}

} // namespace

Prompt &Prompt::instance()
{
    static DialogPrompt dialogs;
    return installedPrompt ? *installedPrompt : dialogs;
}

void Prompt::install(Prompt *prompt)
{
    installedPrompt = prompt;
}

void DialogPrompt::information(const QString &text)
{
    showBox(QObject::tr("Information"), QMessageBox::Information, text, "informationBox");
}

Prompt::Answer DialogPrompt::confirm(const QString &text)
{
    CentredMessageBox box(QMessageBox::Question, QObject::tr("Confirm"), text, QApplication::activeWindow());
    box.setObjectName(QStringLiteral("confirmBox"));
    QPushButton *yes = box.addButton(QObject::tr("&Yes"), QMessageBox::YesRole);
    QPushButton *no = box.addButton(QObject::tr("&No"), QMessageBox::NoRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes ? Answer::Yes : Answer::No;
}

void DialogPrompt::error(const QString &text)
{
    showBox(QObject::tr("Error"), QMessageBox::Critical, text, "errorBox");
}

void DialogPrompt::plain(const QString &text)
{
    showBox(applicationTitle(), QMessageBox::NoIcon, text, "plainBox");
}

void DialogPrompt::applicationError(const QString &text)
{
    showBox(applicationTitle(), QMessageBox::Critical, text, "applicationErrorBox");
}

static void prepare(QFileDialog &dialog, const Prompt::FileRequest &request)
{
    dialog.setWindowTitle(request.title);
    dialog.setNameFilter(request.filter);
    dialog.setDefaultSuffix(request.defaultExtension);
    if (!request.directory.isEmpty())
        dialog.setDirectory(request.directory);
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
}

std::optional<QString> DialogPrompt::openFileName(const FileRequest &request)
{
    QFileDialog dialog(QApplication::activeWindow());
    prepare(dialog, request);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

std::optional<QString> DialogPrompt::saveFileName(const FileRequest &request)
{
    QFileDialog dialog(QApplication::activeWindow());
    prepare(dialog, request);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    if (request.selectedFilter)
        *request.selectedFilter = dialog.selectedNameFilter();
    return dialog.selectedFiles().constFirst();
}

std::optional<QColor> DialogPrompt::color(const QColor &initial)
{
    const QColor chosen = QColorDialog::getColor(initial, QApplication::activeWindow());
    if (!chosen.isValid())
        return std::nullopt;
    return chosen;
}

std::optional<QFont> DialogPrompt::font(const FontRequest &request)
{
    QFontDialog dialog(request.initial, QApplication::activeWindow());
    dialog.setWindowTitle(request.title);
    if (request.apply) {
        if (auto *buttons = dialog.findChild<QDialogButtonBox *>()) {
            QPushButton *apply = buttons->addButton(QDialogButtonBox::Apply);
            QObject::connect(apply, &QPushButton::clicked, &dialog,
                             [&dialog, &request] { request.apply(dialog.currentFont()); });
        }
    }
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.selectedFont();
}

std::optional<QString> DialogPrompt::inputText(const QString &caption, const QString &label,
                                               const QString &initial)
{
    bool ok = false;
    const QString text = QInputDialog::getText(QApplication::activeWindow(), caption, label,
                                               QLineEdit::Normal, initial, &ok);
    if (!ok)
        return std::nullopt;
    return text;
}
