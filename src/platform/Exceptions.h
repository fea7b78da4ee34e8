// The program's error type. An operation that "raises" throws an Exception
// (or one of its kinds below) carrying the message the user is shown; the
// window procedures catch what leaves an event handler and report it through
// Application::ShowException.
#pragma once

#include <windows.h>
#include <exception>
#include <string>

namespace platform {

class Exception : public std::exception {
public:
    explicit Exception(std::wstring message);
    const std::wstring& Message() const noexcept { return message_; }
    const char* what() const noexcept override { return utf8_.c_str(); }

private:
    std::wstring message_;
    std::string utf8_;
};

// A file could not be opened for reading.
class EFOpenError : public Exception {
public:
    using Exception::Exception;
};
// A file could not be created or opened for writing.
class EFCreateError : public Exception {
public:
    using Exception::Exception;
};
// Reading or writing an open file failed.
class EInOutError : public Exception {
public:
    using Exception::Exception;
};
// A text is not a number of the expected form.
class EConvertError : public Exception {
public:
    using Exception::Exception;
};
// An index outside a list.
class EListError : public Exception {
public:
    using Exception::Exception;
};
// A value outside the range of its type.
class ERangeError : public Exception {
public:
    using Exception::Exception;
};
// A failed call of the operating system, with its error code.
class EOSError : public Exception {
public:
    EOSError(std::wstring message, DWORD code) : Exception(std::move(message)), code_(code) {}
    DWORD Code() const noexcept { return code_; }

private:
    DWORD code_;
};
// A failed COM call.
class EOleError : public Exception {
public:
    EOleError(std::wstring message, HRESULT hr) : Exception(std::move(message)), hr_(hr) {}
    HRESULT Result() const noexcept { return hr_; }

private:
    HRESULT hr_;
};

// The system's text for an error code, without the trailing line break.
std::wstring SysErrorMessage(DWORD code);

// The message of any exception: ours as it is, others converted from UTF-8.
std::wstring ExceptionMessage(const std::exception& e);

}  // namespace platform
