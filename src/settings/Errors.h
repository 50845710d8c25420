// Failures that the program reports to the user. Each carries its message as 8-bit text in the
// system's ANSI code page, the code page in which paths and setting names are held.
#pragma once

#include <exception>
#include <string>
#include <string_view>

#include "AnsiText.h"

namespace pelmora {

class Exception : public std::exception {
  public:
    explicit Exception(std::string ansiMessage) : message_(std::move(ansiMessage)) {}
    const std::string& Message() const noexcept { return message_; }
    const char* what() const noexcept override { return message_.c_str(); }

  private:
    std::string message_;
};

// The settings file could not be written: "<path> に書き込めません".
class EIniFileException : public Exception {
  public:
    explicit EIniFileException(std::string_view path);
    // What a failed command left beside the file (SettingsCopy), named in the text: the copy on
    // which it wrote, which could not be removed; or the checked copy, the file's new bytes,
    // when the file was left cut and could not be given its old bytes back.
    enum class Left { kCopy, kChecked };
    EIniFileException(std::string_view path, std::string_view left, Left what);
};

// The settings file holds bytes that the profile functions would not write back as they are
// (text that is not valid in its encoding): any write would change parts of the file that the
// command does not touch, so nothing is written.
class EUnrewritableFileException : public Exception {
  public:
    explicit EUnrewritableFileException(std::string_view path);
};

// The name box could not take another item: "行を挿入できません".
class ENameBoxException : public Exception {
  public:
    ENameBoxException();
};

// The settings file's place could not be worked out soundly (the executable path does not fit
// or cannot be written in the ANSI code page).
class ESettingsPathException : public Exception {
  public:
    using Exception::Exception;
};

// A setting name that the settings file cannot hold as a section name (a line break in it, too
// long, blanks around it, or not text of the ANSI code page): writing or erasing it would reach
// some other section.
class ESettingNameException : public Exception {
  public:
    using Exception::Exception;
    // For a name with characters that the ANSI code page cannot hold.
    static ESettingNameException OutsideCodePage();
};

// The text of that failure.
inline constexpr std::wstring_view kNameOutsideCodePage =
    L"設定名にこのシステムの文字コードで表せない文字があります";

// The settings lock (SettingsLock) could not be had within its limit: another running copy is
// in the middle of a command, or the lock could not be made. Nothing was read or written.
class ESettingsLockException : public Exception {
  public:
    enum class Reason { kBusy, kUnavailable };
    ESettingsLockException(Reason reason, std::string_view path);
};

}  // namespace pelmora
