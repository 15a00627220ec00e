// Result of a fallible operation at an edge of the program (workbook, WebDriver, HTTP, SMTP, zip):
// either a value or an error carrying a Turkish message for the user and a code for the caller.
#pragma once

#include <QString>

#include <optional>
#include <utility>
#include <variant>

namespace tavlix {

enum class ErrorCode {
    NotFound,     // a file, sheet or element that should be there is not
    BadFormat,    // the content is not what it claims to be (not an xlsx, broken XML …)
    Io,           // reading or writing failed
    Network,      // a site or server could not be reached or answered wrongly
    InvalidInput, // the caller's input was refused
    Unsupported,  // something this program does not handle
};

struct Error {
    ErrorCode code = ErrorCode::Io;
    QString message; // Turkish, shown to the user as it is
};

template <typename T> class Result {
public:
    Result(T value)
        : m_data(std::in_place_index<0>, std::move(value)) {}
    Result(Error error)
        : m_data(std::in_place_index<1>, std::move(error)) {}

    bool ok() const { return m_data.index() == 0; }
    explicit operator bool() const { return ok(); }

    T& value() & { return std::get<0>(m_data); }
    const T& value() const& { return std::get<0>(m_data); }
    T&& value() && { return std::get<0>(std::move(m_data)); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }
    T& operator*() & { return value(); }
    const T& operator*() const& { return value(); }

    const Error& error() const { return std::get<1>(m_data); }
    QString message() const { return ok() ? QString() : error().message; }

private:
    std::variant<T, Error> m_data;
};

// A result that carries no value: success or an error.
template <> class Result<void> {
public:
    Result() = default;
    Result(Error error)
        : m_error(std::move(error)) {}

    bool ok() const { return !m_error.has_value(); }
    explicit operator bool() const { return ok(); }
    const Error& error() const { return *m_error; }
    QString message() const { return ok() ? QString() : m_error->message; }

private:
    std::optional<Error> m_error;
};

inline Error makeError(ErrorCode code, QString message) {
    return Error{code, std::move(message)};
}

} // namespace tavlix
