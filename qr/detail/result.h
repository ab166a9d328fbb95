#pragma once

#include "qr/qr_module.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>

// The module's faults travel as values: every check that finds one returns the report, and the
// caller hands it up unchanged until the public entry returns it. Nothing is thrown.
namespace qr::detail {

/// The report a check raises: the reporting class, its method and the message.
inline ErrorReport makeReport(std::string_view className, std::string_view methodName,
                              std::string_view message) {
    return ErrorReport{std::string(className), std::string(methodName), std::string(message)};
}

/// The report raised where no better one is known: "无" in all three texts.
inline ErrorReport blankReport() {
    return makeReport("无", "无", "无");
}

/// Success, or the report that stopped an operation without a result.
class [[nodiscard]] Status {
public:
    Status() = default;
    Status(ErrorReport report) : m_error(std::move(report)) {}

    bool ok() const { return !m_error; }
    const ErrorReport& error() const { return *m_error; }

private:
    std::optional<ErrorReport> m_error;
};

/// A value, or the report that stopped the operation producing it.
template <class T> class [[nodiscard]] Result {
public:
    Result(T value) : m_value(std::move(value)) {}
    Result(ErrorReport report) : m_error(std::move(report)) {}

    bool ok() const { return m_value.has_value(); }
    const ErrorReport& error() const { return *m_error; }
    T& value() & { return *m_value; }
    const T& value() const& { return *m_value; }
    T&& value() && { return std::move(*m_value); }

private:
    std::optional<T> m_value;
    std::optional<ErrorReport> m_error;
};

} // namespace qr::detail

#define QR_CONCAT_INNER_(a, b) a##b
#define QR_CONCAT_(a, b) QR_CONCAT_INNER_(a, b)

/// Returns the report of a failed Status or Result from the enclosing function.
#define QR_TRY(expression)                                                                                   \
    do {                                                                                                     \
        if (auto qrTryResult_ = (expression); !qrTryResult_.ok())                                            \
            return qrTryResult_.error();                                                                     \
    } while (false)

/// Declares `declaration` from a successful Result, or returns its report from the enclosing function.
#define QR_ASSIGN_OR_RETURN(declaration, expression)                                                         \
    auto QR_CONCAT_(qrAssignResult_, __LINE__) = (expression);                                               \
    if (!QR_CONCAT_(qrAssignResult_, __LINE__).ok())                                                         \
        return QR_CONCAT_(qrAssignResult_, __LINE__).error();                                                \
    declaration = std::move(QR_CONCAT_(qrAssignResult_, __LINE__)).value()
