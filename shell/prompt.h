#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QWidget;

// Every modal interaction of the program goes through this interface, so that a test can answer
// the dialogs by script and nothing ever blocks on a window nobody will close.
class Prompt
{
public:
    enum class Answer { Yes, No };

    struct FileRequest {
        QString title;
        QString filter;            // "Rich Text (*.rtf);;Text (*.txt)"
        QString defaultExtension;  // without the dot
        QString directory;
        QString fileName;
        bool confirmOverwrite = true;
        // When set, receives the filter the user chose (one of `filter`'s entries).
        QString *selectedFilter = nullptr;
    };

    struct FontRequest {
        QFont initial;
        QString title;
        int minPointSize = 0;      // 0: no limit
        int maxPointSize = 0;
        // When set, the dialog has an Apply button that hands the font it shows to this at once.
        std::function<void(const QFont &)> apply;
    };

    virtual ~Prompt() = default;

    // "Information": a user mistake such as nothing selected; one OK button.
    virtual void information(const QString &text) = 0;
    // "Confirm": Yes is the default button and Escape answers No.
    virtual Answer confirm(const QString &text) = 0;
    // "Error": a failure; one OK button.
    virtual void error(const QString &text) = 0;
    // A box captioned with the application title, no icon, one OK button.
    virtual void plain(const QString &text) = 0;
    // The application-wide error report: an error box captioned with the application title.
    virtual void applicationError(const QString &text) = 0;

    virtual std::optional<QString> openFileName(const FileRequest &request) = 0;
    virtual std::optional<QString> saveFileName(const FileRequest &request) = 0;
    virtual std::optional<QColor> color(const QColor &initial) = 0;
    virtual std::optional<QFont> font(const FontRequest &request) = 0;
    // The text-input box: a caption, a prompt line and an initial text.
    virtual std::optional<QString> inputText(const QString &caption, const QString &label,
                                             const QString &initial) = 0;

    // The process-wide prompt. Until a test installs its own, this is the dialog prompt.
    static Prompt &instance();
    // Installs a prompt (not owned); nullptr restores the dialog prompt.
    static void install(Prompt *prompt);
};

// The real prompt: Qt's message boxes and common dialogs, modal and centred on the screen.
class DialogPrompt final : public Prompt
{
public:
    void information(const QString &text) override;
    Answer confirm(const QString &text) override;
    void error(const QString &text) override;
    void plain(const QString &text) override;
    void applicationError(const QString &text) override;
    std::optional<QString> openFileName(const FileRequest &request) override;
    std::optional<QString> saveFileName(const FileRequest &request) override;
    std::optional<QColor> color(const QColor &initial) override;
    std::optional<QFont> font(const FontRequest &request) override;
    std::optional<QString> inputText(const QString &caption, const QString &label,
                                     const QString &initial) override;
};
