#pragma once
#include <exception>
#include <functional>

// An error that a handler of ours raised where the system called it: it ends the handler, not the
// program, and is shown to the user. The program sets how it is shown (the default is a plain
// message box without an owner); tests collect instead.
void SetExceptionReporter(std::function<void(const std::exception&)> reporter);
void ReportException(const std::exception& e) noexcept;
// Inside a catch block: reports what was caught, whatever its type.
void ReportCurrentException() noexcept;
