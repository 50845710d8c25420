// Decoding the settings file as the profile functions decode it (ProfileText.h).
#include <windows.h>

#include <algorithm>

#include "ProfileText.h"

namespace pelmora {
namespace {

std::size_t MarkSize(ProfileEncoding encoding) {
    return encoding == ProfileEncoding::kCodePage ? 0 : encoding == ProfileEncoding::kUtf8 ? 3 : 2;
}

// Text in `codePage` as the profile functions decode it; with `exactly`, nothing unless it
// comes back as the same bytes when they encode it again (an invalid sequence decodes to a
// character that does not).
std::optional<std::wstring> Decode(std::string_view bytes, unsigned codePage, bool exactly) {
    if (bytes.empty()) return std::wstring();
    const int size = static_cast<int>(bytes.size());
    // Each byte makes at most one UTF-16 unit in the code pages that the profile functions read
    // (a character of four bytes in UTF-8 or GB18030 makes two at most): one pass does.
    std::wstring text(bytes.size(), L'\0');
    const int length = MultiByteToWideChar(codePage, 0, bytes.data(), size, text.data(), size);
    if (length <= 0) return std::nullopt;
    text.resize(static_cast<std::size_t>(length));
    // ASCII is the same in every code page that the profile functions read.
    const bool ascii = std::all_of(bytes.begin(), bytes.end(), [](char byte) {
        return static_cast<unsigned char>(byte) < 0x80;
    });
    if (!exactly || ascii) return text;
    // Encoded again, the text must fill exactly as many bytes, the same ones (a longer one
    // does not fit and fails).
    std::string back(bytes.size(), '\0');
    if (WideCharToMultiByte(codePage, 0, text.data(), length, back.data(), size, nullptr,
                            nullptr) != size ||
        back != bytes) {
        return std::nullopt;
    }
    return text;
}

// UTF-16 after its byte-order mark; a lone surrogate is an invalid sequence.
std::optional<std::wstring> DecodeUtf16(std::string_view bytes, bool bigEndian) {
    if (bytes.size() % 2 != 0) return std::nullopt;
    std::wstring text(bytes.size() / 2, L'\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto first = static_cast<unsigned char>(bytes[2 * i]);
        const auto second = static_cast<unsigned char>(bytes[2 * i + 1]);
        text[i] = static_cast<wchar_t>(bigEndian ? (first << 8) | second : (second << 8) | first);
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool high = text[i] >= 0xD800 && text[i] <= 0xDBFF;
        const bool low = text[i] >= 0xDC00 && text[i] <= 0xDFFF;
        if (low) return std::nullopt;
        if (high) {
            if (i + 1 >= text.size() || text[i + 1] < 0xDC00 || text[i + 1] > 0xDFFF) {
                return std::nullopt;
            }
            ++i;
        }
    }
    return text;
}

// The bytes after the byte-order mark, decoded.
std::optional<std::wstring> DecodeAs(ProfileEncoding encoding, std::string_view bytes,
                                     unsigned codePage, bool lossless) {
    switch (encoding) {
        case ProfileEncoding::kUtf8:
            return Decode(bytes, CP_UTF8, lossless);
        case ProfileEncoding::kUtf16Le:
        case ProfileEncoding::kUtf16Be:
            return DecodeUtf16(bytes, encoding == ProfileEncoding::kUtf16Be);
        case ProfileEncoding::kCodePage:
            break;
    }
    return Decode(bytes, codePage, lossless);
}

// How many bytes `text` takes in the file (without the byte-order mark), when it is text that
// the file holds exactly: the bytes of its characters one after another.
std::optional<std::size_t> EncodedSize(std::wstring_view text, ProfileEncoding encoding,
                                       unsigned codePage) {
    if (text.empty()) return 0;
    if (encoding == ProfileEncoding::kUtf16Le || encoding == ProfileEncoding::kUtf16Be) {
        return 2 * text.size();
    }
    const int size =
        WideCharToMultiByte(encoding == ProfileEncoding::kUtf8 ? CP_UTF8 : codePage, 0, text.data(),
                            static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    if (size <= 0) return std::nullopt;
    return static_cast<std::size_t>(size);
}

}  // namespace

ProfileEncoding EncodingOf(std::string_view bytes) {
    if (bytes.starts_with("\xEF\xBB\xBF")) return ProfileEncoding::kUtf8;
    if (bytes.starts_with("\xFF\xFE")) return ProfileEncoding::kUtf16Le;
    if (bytes.starts_with("\xFE\xFF")) return ProfileEncoding::kUtf16Be;
    return ProfileEncoding::kCodePage;
}

std::optional<std::wstring> ProfileText(std::string_view bytes, unsigned codePage, bool lossless) {
    const ProfileEncoding encoding = EncodingOf(bytes);
    std::optional<std::wstring> text =
        DecodeAs(encoding, bytes.substr(MarkSize(encoding)), codePage, lossless);
    if (lossless && text && text->find(L'\0') != std::wstring::npos) return std::nullopt;
    return text;
}

bool HoldsChangeAroundBytes(std::string_view before, std::wstring_view beforeText,
                            const SectionChange& change, std::string_view after,
                            unsigned codePage) {
    // The text of `before` is its bytes decoded exactly: its parts are its bytes' parts. The
    // changed section starts after a line's end and, when others follow, ends with one: bytes
    // that every decoding takes alone. So `after`, when it holds the same bytes before and
    // after the section, decodes to the same text there, and its changed section decodes on
    // its own as it does within the whole (HoldsChangeAround sees that it ends a line).
    const ProfileEncoding encoding = EncodingOf(before);
    if (EncodingOf(after) != encoding) return false;
    const TextRange changed = ChangedSection(beforeText, change);
    const std::optional<std::size_t> headSize =
        EncodedSize(beforeText.substr(0, changed.begin), encoding, codePage);
    const std::optional<std::size_t> sectionSize = EncodedSize(
        beforeText.substr(changed.begin, changed.end - changed.begin), encoding, codePage);
    if (!headSize || !sectionSize ||
        MarkSize(encoding) + *headSize + *sectionSize > before.size()) {
        return false;
    }
    // The text is the file's bytes exactly: the tail takes the rest.
    const std::size_t head = MarkSize(encoding) + *headSize;
    const std::size_t tail = before.size() - head - *sectionSize;
    if (head + tail > after.size() || after.substr(0, head) != before.substr(0, head) ||
        after.substr(after.size() - tail) != before.substr(before.size() - tail)) {
        return false;
    }
    const std::optional<std::wstring> part =
        DecodeAs(encoding, after.substr(head, after.size() - head - tail), codePage, false);
    return part && HoldsChangeAround(beforeText, changed, change, *part);
}

}  // namespace pelmora
