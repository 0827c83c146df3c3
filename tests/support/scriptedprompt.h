#pragma once

#include "shell/prompt.h"

#include <QList>
#include <QQueue>
#include <QString>

#include <functional>
#include <variant>

// A prompt that answers by script and records everything it was shown. Install it for the life of
// a test with ScriptedPrompt::Scope; an unscripted question fails the test instead of blocking.
class ScriptedPrompt final : public Prompt
{
public:
    enum class Kind { Information, Confirm, Error, Plain, ApplicationError, OpenFile, SaveFile, Color, Font, Input };

    struct Shown {
        Kind kind;
        QString text;
    };

    // A save dialog's answer with the filter chosen in it.
    struct FilteredFile {
        QString path;
        QString filter;
    };
    // The Apply button of a font dialog, pressed with this font before the dialog's answer.
    struct AppliedFont {
        QFont font;
    };
    // Answers, consumed in order by the questions that need one.
    // A font reply may be worked out from the font the dialog would show.
    using FontReply = std::function<std::optional<QFont>(const QFont &initial)>;
    using Reply = std::variant<Answer, std::optional<QString>, std::optional<QColor>, std::optional<QFont>, FontReply,
                               FilteredFile, AppliedFont>;

    void answer(Answer answer) { m_replies.enqueue(answer); }
    void answerFile(const std::optional<QString> &path) { m_replies.enqueue(path); }
    void answerFile(const QString &path, const QString &filter) { m_replies.enqueue(FilteredFile{path, filter}); }
    void applyFont(const QFont &font) { m_replies.enqueue(AppliedFont{font}); }
    void answerText(const std::optional<QString> &text) { m_replies.enqueue(text); }
    void answerColor(const std::optional<QColor> &color) { m_replies.enqueue(color); }
    void answerFont(const std::optional<QFont> &font) { m_replies.enqueue(font); }
    void answerFontWith(FontReply reply) { m_replies.enqueue(std::move(reply)); }

    [[nodiscard]] const QList<Shown> &shown() const { return m_shown; }
    [[nodiscard]] QStringList texts(Kind kind) const;
    [[nodiscard]] int unusedReplies() const { return int(m_replies.size()); }
    void clear() { m_shown.clear(); m_replies.clear(); }

    void information(const QString &text) override { record(Kind::Information, text); }
    Answer confirm(const QString &text) override;
    void error(const QString &text) override { record(Kind::Error, text); }
    void plain(const QString &text) override { record(Kind::Plain, text); }
    void applicationError(const QString &text) override { record(Kind::ApplicationError, text); }
    std::optional<QString> openFileName(const FileRequest &request) override;
    std::optional<QString> saveFileName(const FileRequest &request) override;
    std::optional<QColor> color(const QColor &initial) override;
    std::optional<QFont> font(const FontRequest &request) override;
    std::optional<QString> inputText(const QString &caption, const QString &label, const QString &initial) override;

    // Installs a prompt while it lives.
    class Scope
    {
    public:
        explicit Scope(ScriptedPrompt &prompt) { Prompt::install(&prompt); }
        ~Scope() { Prompt::install(nullptr); }
        Scope(const Scope &) = delete;
        Scope &operator=(const Scope &) = delete;
    };

private:
    void record(Kind kind, const QString &text) { m_shown.append({kind, text}); }
    template <typename T>
    T next(Kind kind, const QString &text);

    QList<Shown> m_shown;
    QQueue<Reply> m_replies;
};
