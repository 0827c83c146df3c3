#pragma once

#include <QString>

#include <stdexcept>

// The one failure type of the logic code: it carries a message that is shown to the user unchanged.
class Error : public std::runtime_error
{
public:
    explicit Error(const QString &message)
        : std::runtime_error(message.toStdString()), m_message(message)
    {
    }

    [[nodiscard]] const QString &message() const noexcept { return m_message; }

private:
    QString m_message;
};
