#include "Errors.h"

#include <initializer_list>

namespace pelmora {
namespace {

constexpr std::wstring_view kCannotWrite = L" に書き込めません";
constexpr std::wstring_view kCopyLeft = L" に書き込めません. 作業用のコピー ";
constexpr std::wstring_view kCannotRemove = L" を削除できません";
constexpr std::wstring_view kCheckedLeft = L" に書き込めません. 変更後の設定は ";
constexpr std::wstring_view kCheckedLater = L" にあり、次の操作のときに設定ファイルに書き込みます";
constexpr std::wstring_view kUnrewritable =
    L"設定ファイルに元のとおりには書き戻せない部分があるため、ほかの部分を変えずに書き換える"
    L"ことはできません。何も書き込んでいません: ";
constexpr std::wstring_view kUnrewritableRemedy =
    L"\nテキスト エディターで文字コードを Shift-JIS (ANSI) か Unicode (UTF-16) にして保存し直せ"
    L"ば、設定を変更できます";
constexpr std::wstring_view kCannotInsertLine = L"行を挿入できません";
constexpr std::wstring_view kLockBusy =
    L"ほかの Pelmora が設定ファイルを使用中のため、設定ファイルを開けません: ";
constexpr std::wstring_view kLockUnavailable =
    L"設定ファイルのロックを作成できないため、設定ファイルを開けません: ";

// The parts of a text one after another: paths as they are, texts in the ANSI code page.
std::string Joined(std::initializer_list<std::string_view> parts) {
    std::string text;
    for (const std::string_view part : parts) text += part;
    return text;
}

}  // namespace

EIniFileException::EIniFileException(std::string_view path)
    : Exception(Joined({path, AnsiFromWide(kCannotWrite)})) {}

// What comes before and after the name of what a failed command left, by what it is.
constexpr std::wstring_view kLeftTexts[][2] = {{kCopyLeft, kCannotRemove},
                                               {kCheckedLeft, kCheckedLater}};

EIniFileException::EIniFileException(std::string_view path, std::string_view left, Left what)
    : Exception(Joined({path, AnsiFromWide(kLeftTexts[static_cast<int>(what)][0]), left,
                        AnsiFromWide(kLeftTexts[static_cast<int>(what)][1])})) {}

EUnrewritableFileException::EUnrewritableFileException(std::string_view path)
    : Exception(Joined({AnsiFromWide(kUnrewritable), path, AnsiFromWide(kUnrewritableRemedy)})) {}

ENameBoxException::ENameBoxException() : Exception(AnsiFromWide(kCannotInsertLine)) {}

ESettingNameException ESettingNameException::OutsideCodePage() {
    return ESettingNameException(AnsiFromWide(kNameOutsideCodePage));
}

ESettingsLockException::ESettingsLockException(Reason reason, std::string_view path)
    : Exception(
          Joined({AnsiFromWide(reason == Reason::kBusy ? kLockBusy : kLockUnavailable), path})) {}

}  // namespace pelmora
