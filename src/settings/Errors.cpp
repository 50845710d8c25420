#include "Errors.h"

#include <windows.h>

#include <algorithm>

namespace pelmora {
namespace {

constexpr std::wstring_view kCannotWrite = L" に書き込めません";
constexpr std::wstring_view kCopyLeft = L" 作業用のコピー ";
constexpr std::wstring_view kCannotRemove = L" を削除できません";
constexpr std::wstring_view kUnrewritable =
    L"設定ファイルに元のとおりには書き戻せない部分があるため、ほかの部分を変えずに書き換える"
    L"ことはできません。何も書き込んでいません: ";
constexpr std::wstring_view kCannotInsertLine = L"行を挿入できません";
constexpr std::wstring_view kLockBusy =
    L"ほかの Pelmora が設定ファイルを使用中のため、設定ファイルを開けません: ";
constexpr std::wstring_view kLockUnavailable =
    L"設定ファイルのロックを作成できないため、設定ファイルを開けません: ";

}  // namespace

std::string AnsiFromWide(std::wstring_view text) {
    if (text.empty()) return {};
    const int length = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), result.data(),
                        length, nullptr, nullptr);
    return result;
}

std::wstring WideFromAnsi(std::string_view text) {
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(std::max(length, 0)), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), size, wide.data(), length);
    return wide;
}

EIniFileException::EIniFileException(std::string_view path)
    : Exception(std::string(path) + AnsiFromWide(kCannotWrite)) {}

EIniFileException::EIniFileException(std::string_view path, std::string_view leftCopy)
    : Exception(std::string(path) + AnsiFromWide(kCannotWrite) + "." + AnsiFromWide(kCopyLeft) +
                std::string(leftCopy) + AnsiFromWide(kCannotRemove)) {}

EUnrewritableFileException::EUnrewritableFileException(std::string_view path)
    : Exception(AnsiFromWide(kUnrewritable) + std::string(path)) {}

ENameBoxException::ENameBoxException() : Exception(AnsiFromWide(kCannotInsertLine)) {}

ESettingNameException ESettingNameException::OutsideCodePage() {
    return ESettingNameException(AnsiFromWide(kNameOutsideCodePage));
}

ESettingsLockException::ESettingsLockException(Reason reason, std::string_view path)
    : Exception(AnsiFromWide(reason == Reason::kBusy ? kLockBusy : kLockUnavailable) +
                std::string(path)) {}

}  // namespace pelmora
