#include "tests/support/scriptedprompt.h"

#include <QTest>

QStringList ScriptedPrompt::texts(Kind kind) const
{
    QStringList result;
    for (const Shown &shown : m_shown) {
        if (shown.kind == kind)
            result << shown.text;
    }
    return result;
}

template <typename T>
T ScriptedPrompt::next(Kind kind, const QString &text)
{
    record(kind, text);
    if (m_replies.isEmpty() || !std::holds_alternative<T>(m_replies.head())) {
        QTest::qFail(qPrintable(QStringLiteral("unscripted question: ") + text), __FILE__, __LINE__);
        return T{};
    }
    return std::get<T>(m_replies.dequeue());
}

Prompt::Answer ScriptedPrompt::confirm(const QString &text)
{
    if (m_replies.isEmpty() || !std::holds_alternative<Answer>(m_replies.head())) {
        record(Kind::Confirm, text);
        QTest::qFail(qPrintable(QStringLiteral("unscripted confirmation: ") + text), __FILE__, __LINE__);
        return Answer::No;
    }
    return next<Answer>(Kind::Confirm, text);
}

std::optional<QString> ScriptedPrompt::openFileName(const FileRequest &request)
{
    return next<std::optional<QString>>(Kind::OpenFile, request.title);
}

std::optional<QString> ScriptedPrompt::saveFileName(const FileRequest &request)
{
    if (!m_replies.isEmpty() && std::holds_alternative<FilteredFile>(m_replies.head())) {
        const FilteredFile answer = next<FilteredFile>(Kind::SaveFile, request.title);
        if (request.selectedFilter)
            *request.selectedFilter = answer.filter;
        return answer.path;
    }
    return next<std::optional<QString>>(Kind::SaveFile, request.title);
}

std::optional<QColor> ScriptedPrompt::color(const QColor &initial)
{
    return next<std::optional<QColor>>(Kind::Color, initial.name());
}

std::optional<QFont> ScriptedPrompt::font(const FontRequest &request)
{
    while (!m_replies.isEmpty() && std::holds_alternative<AppliedFont>(m_replies.head())) {
        const QFont applied = std::get<AppliedFont>(m_replies.dequeue()).font;
        if (request.apply)
            request.apply(applied);
    }
    if (!m_replies.isEmpty() && std::holds_alternative<FontReply>(m_replies.head()))
        return next<FontReply>(Kind::Font, request.title)(request.initial);
    return next<std::optional<QFont>>(Kind::Font, request.title);
}

std::optional<QString> ScriptedPrompt::inputText(const QString &caption, const QString &label, const QString &)
{
    return next<std::optional<QString>>(Kind::Input, caption + QLatin1String(": ") + label);
}
