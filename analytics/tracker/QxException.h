#pragma once

#include <exception>
#include <string>

namespace quxin::tracking {

// The analytics layer's validation failure. It never leaves the tracker's wrapper.
class QxException : public std::exception {
public:
    QxException(std::string message, std::string file, std::string function, int line)
        : m_Message(std::move(message)), m_File(std::move(file)), m_Function(std::move(function)),
          m_Line(line) {}

    const char* what() const noexcept override { return m_Message.c_str(); }
    const std::string& message() const { return m_Message; }
    const std::string& file() const { return m_File; }
    const std::string& function() const { return m_Function; }
    int line() const { return m_Line; }

private:
    std::string m_Message;
    std::string m_File;
    std::string m_Function;
    int m_Line;
};

} // namespace quxin::tracking

// Throws a QxException naming the operation that refused, as the tracker's messages do.
#define QX_THROW(function, message)                                                                          \
    throw ::quxin::tracking::QxException((message), __FILE__, (function), __LINE__)
