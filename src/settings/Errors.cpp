#include "Errors.h"

namespace pelmora {
namespace {

constexpr std::wstring_view kCannotWrite = L" に書き込めません";
constexpr std::wstring_view kCopyLeft = L" 作業用のコピー ";
constexpr std::wstring_view kCannotRemove = L" を削除できません";
constexpr std::wstring_view kCheckedLeft = L" 書き込みの途中で止まった設定ファイルの新しい内容が ";
constexpr std::wstring_view kCheckedLater =
    L" にあります。設定ファイルに書き込めるようになれば、次の操作のときに書き込みます";
constexpr std::wstring_view kUnrewritable =
    L"設定ファイルに元のとおりには書き戻せない部分があるため、ほかの部分を変えずに書き換える"
    L"ことはできません。何も書き込んでいません: ";
constexpr std::wstring_view kUnrewritableRemedy =
    L"\nテキスト エディターでこのファイルを開き、文字コードを Shift-JIS (ANSI) か Unicode "
    L"(UTF-16) にして保存し直すと、設定を変更できるようになります";
constexpr std::wstring_view kCannotInsertLine = L"行を挿入できません";
constexpr std::wstring_view kLockBusy =
    L"ほかの Pelmora が設定ファイルを使用中のため、設定ファイルを開けません: ";
constexpr std::wstring_view kLockUnavailable =
    L"設定ファイルのロックを作成できないため、設定ファイルを開けません: ";

}  // namespace

EIniFileException::EIniFileException(std::string_view path)
    : Exception(std::string(path) + AnsiFromWide(kCannotWrite)) {}

EIniFileException::EIniFileException(std::string_view path, std::string_view left, Left what)
    : Exception(std::string(path) + AnsiFromWide(kCannotWrite) + "." +
                AnsiFromWide(what == Left::kCopy ? kCopyLeft : kCheckedLeft) + std::string(left) +
                AnsiFromWide(what == Left::kCopy ? kCannotRemove : kCheckedLater)) {}

EUnrewritableFileException::EUnrewritableFileException(std::string_view path)
    : Exception(AnsiFromWide(kUnrewritable) + std::string(path) +
                AnsiFromWide(kUnrewritableRemedy)) {}

ENameBoxException::ENameBoxException() : Exception(AnsiFromWide(kCannotInsertLine)) {}

ESettingNameException ESettingNameException::OutsideCodePage() {
    return ESettingNameException(AnsiFromWide(kNameOutsideCodePage));
}

ESettingsLockException::ESettingsLockException(Reason reason, std::string_view path)
    : Exception(AnsiFromWide(reason == Reason::kBusy ? kLockBusy : kLockUnavailable) +
                std::string(path)) {}

}  // namespace pelmora
