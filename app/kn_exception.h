#pragma once
// The exception map loading throws: a message for the user and a code. The
// handler that catches it shows the message (ReportError).
#include <QByteArray>
#include <QString>
#include <cstdint>
#include <exception>

class CKNException : public std::exception {
public:
    CKNException(QString message, int32_t code)
        : m_message(std::move(message))
        , m_code(code)
        , m_utf8(m_message.toUtf8())
    {
    }

    const QString& GetMessage() const { return m_message; }
    int32_t GetCode() const { return m_code; }
    const char* what() const noexcept override { return m_utf8.constData(); }

    // The message in a message box captioned with the program's title.
    void ReportError() const;

private:
    QString m_message;
    int32_t m_code = 0;
    QByteArray m_utf8;
};
