#pragma once

#include <QString>
#include <stdexcept>

// Errors that no operation expects (a file that cannot be written, text that the
// data files cannot hold). They carry a message for the user and travel up to the
// command boundary, where the application's default error report shows them.
class EPavonaError : public std::runtime_error {
 public:
  explicit EPavonaError(const QString& message)
      : std::runtime_error(message.toStdString()), message_(message) {}
  const QString& Message() const { return message_; }

 private:
  QString message_;
};

// A profile file could not be written; the message is "Unable to write to <path>".
class EIniFileError : public EPavonaError {
 public:
  using EPavonaError::EPavonaError;
};

// Text that the GBK code page cannot hold was about to be written.
class EEncodingError : public EPavonaError {
 public:
  using EPavonaError::EPavonaError;
};

// A file could not be read, created or written (the system's reason and the path).
class EInOutError : public EPavonaError {
 public:
  using EPavonaError::EPavonaError;
};
