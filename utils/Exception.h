#pragma once

#include "platform/TextCodec.h"

#include <exception>
#include <string>

namespace Utils {

// What the system utilities throw. The message is kept in the system code page so that what() can
// hand it out like any other standard exception.
class Exception : public std::exception {
public:
    explicit Exception(const std::wstring& text = std::wstring()) : m_Message(Platform::NativeText(text)) {}
    ~Exception() override = default;

    const char* what() const noexcept override { return m_Message.c_str(); }

private:
    std::string m_Message;
};

} // namespace Utils
