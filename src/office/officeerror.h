#pragma once

#include <QString>
#include <stdexcept>

namespace zs {

// A failure of the word processor or spreadsheet, with a message for the teacher.
class OfficeError : public std::runtime_error {
public:
    explicit OfficeError(const QString& message) : std::runtime_error(message.toStdString()), message_(message) {}
    const QString& message() const { return message_; }

private:
    QString message_;
};

}  // namespace zs
