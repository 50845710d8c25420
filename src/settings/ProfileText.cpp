#include "ProfileText.h"

#include <windows.h>

#include <algorithm>
#include <utility>

#include "SectionNameRule.h"

namespace pelmora {
namespace {

constexpr std::size_t kNone = static_cast<std::size_t>(-1);

// The characters that the profile functions drop around lines, names, keys and values.
bool IsBlank(wchar_t c) {
    return (c >= 0x09 && c <= 0x0D) || c == 0x1A || c == 0x20;
}

std::wstring_view Trimmed(std::wstring_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

using Items = std::vector<ProfileItem>;

bool IsLineEnd(wchar_t c) {
    return c == L'\r' || c == L'\n';
}

// The lines of a text that are not blank, each with the place where it starts, blanks around
// dropped.
class Lines {
  public:
    explicit Lines(std::wstring_view text) : text_(text) {}
    bool Next(std::size_t& start, std::wstring_view& line) {
        while (position_ < text_.size()) {
            start = position_;
            std::size_t end = position_;
            while (end < text_.size() && !IsLineEnd(text_[end])) ++end;
            line = Trimmed(text_.substr(position_, end - position_));
            position_ = end;
            while (position_ < text_.size() && IsLineEnd(text_[position_])) ++position_;
            if (!line.empty()) return true;
        }
        return false;
    }

  private:
    std::wstring_view text_;
    std::size_t position_ = 0;
};

// The section's name, when the line is the line of a section's name.
std::optional<std::wstring_view> SectionName(std::wstring_view line) {
    if (line.front() != L'[') return std::nullopt;
    std::size_t close = line.size();
    while (close > 0 && line[close - 1] != L']') --close;
    if (close == 0) return std::nullopt;
    return Trimmed(line.substr(1, close - 2));
}

// The section's name when a line of a section's name starts at `bracket` (blanks before it on
// its line); `lineStart` is where that line starts.
std::optional<std::wstring_view> SectionNameAt(std::wstring_view text, std::size_t bracket,
                                               std::size_t& lineStart) {
    lineStart = bracket;
    while (lineStart > 0 && !IsLineEnd(text[lineStart - 1])) {
        if (!IsBlank(text[lineStart - 1])) return std::nullopt;
        --lineStart;
    }
    std::size_t lineEnd = bracket;
    while (lineEnd < text.size() && !IsLineEnd(text[lineEnd])) ++lineEnd;
    return SectionName(Trimmed(text.substr(bracket, lineEnd - bracket)));
}

// Where in `text` the first section of that name lies (the part above the first section for an
// empty name): from the start of its name's line to the start of the next section's.
TextRange SectionText(std::wstring_view text, std::wstring_view name) {
    // Only lines that start with "[" can name a section: the search goes from one to the next.
    TextRange range{0, text.size(), name.empty()};
    for (std::size_t bracket = text.find(L'['); bracket != std::wstring_view::npos;
         bracket = text.find(L'[', bracket + 1)) {
        std::size_t lineStart = 0;
        const std::optional<std::wstring_view> section = SectionNameAt(text, bracket, lineStart);
        if (!section) continue;
        if (range.found) {
            range.end = lineStart;
            return range;
        }
        if (SameSectionName(*section, name)) range = {lineStart, text.size(), true};
    }
    return range;
}

// The lines of one section: from its name (or the top of the file) to the next section's name.
struct Range {
    std::size_t begin = kNone;  // kNone: no such section
    std::size_t end = kNone;
    bool Found() const { return begin != kNone; }
};

// The first section that the profile functions match to `name`; the part above the first
// section for an empty name.
Range FirstSection(const Items& items, std::wstring_view name) {
    std::size_t begin = kNone;
    if (name.empty()) {
        begin = 0;
    } else {
        for (std::size_t i = 0; i < items.size() && begin == kNone; ++i) {
            if (items[i].header && SameSectionName(items[i].name, name)) begin = i;
        }
        if (begin == kNone) return {};
    }
    std::size_t end = begin + (name.empty() ? 0 : 1);
    while (end < items.size() && !items[end].header) ++end;
    return {begin, end};
}

// Whether `a` without `skipA` equals `b` without `skipB`.
bool SameExcept(const Items& a, Range skipA, const Items& b, Range skipB) {
    std::size_t i = 0, j = 0;
    for (;;) {
        if (skipA.Found() && i == skipA.begin) i = skipA.end;
        if (skipB.Found() && j == skipB.begin) j = skipB.end;
        if (i >= a.size() || j >= b.size()) return i >= a.size() && j >= b.size();
        if (!(a[i] == b[j])) return false;
        ++i;
        ++j;
    }
}

// The key lines of a section.
Items KeyLines(const Items& items, Range range) {
    Items lines;
    if (!range.Found()) return lines;
    for (std::size_t i = range.begin; i < range.end; ++i) {
        if (!items[i].header) lines.push_back(items[i]);
    }
    return lines;
}

// `lines` without the first line whose key is `key`; that line, or nothing.
std::optional<ProfileItem> TakeLine(Items& lines, std::wstring_view key) {
    const auto found = std::find_if(lines.begin(), lines.end(), [&](const ProfileItem& line) {
        return SameSectionName(line.name, key);
    });
    if (found == lines.end()) return std::nullopt;
    const ProfileItem line = *found;
    lines.erase(found);
    return line;
}

}  // namespace

std::vector<ProfileItem> ParseProfile(std::wstring_view text) {
    Items items;
    items.reserve(text.size() / 16);
    bool lastKeyEmpty = false;  // the last line kept in the section has an empty key
    bool sectionHasLines = false;
    Lines lines(text);
    std::size_t start = 0;
    std::wstring_view line;
    while (lines.Next(start, line)) {
        if (const std::optional<std::wstring_view> section = SectionName(line)) {
            items.push_back({true, *section, false, {}});
            sectionHasLines = false;
            continue;
        }
        const std::size_t equals = line.find(L'=');
        const std::wstring_view key = Trimmed(line.substr(0, equals));
        // Of several lines in a row with an empty key, the profile functions keep the first.
        if (key.empty() && sectionHasLines && lastKeyEmpty) continue;
        lastKeyEmpty = key.empty();
        sectionHasLines = true;
        const bool hasValue = equals != std::wstring_view::npos;
        items.push_back({false, key, hasValue,
                         hasValue ? Trimmed(line.substr(equals + 1)) : std::wstring_view()});
    }
    return items;
}

bool HoldsChangeInLines(const Items& before, const SectionChange& change, const Items& after) {
    if (change.erase) {
        // The profile functions erase the first section of that name, blanks and all; never the
        // part above the first section.
        const Range erased =
            change.section.empty() ? Range{} : FirstSection(before, change.section);
        return SameExcept(before, erased, after, {});
    }
    const std::wstring_view name = Trimmed(change.section);
    const Range was = FirstSection(before, name);
    const Range is = FirstSection(after, name);
    if (!is.Found() || (was.Found() && is.begin != was.begin)) return false;
    if (!SameExcept(before, was, after, is)) return false;
    if (!name.empty()) {
        const ProfileItem header{true, was.Found() ? before[was.begin].name : name, false, {}};
        if (!(after[is.begin] == header)) return false;
    }
    Items beforeLines = KeyLines(before, was);
    Items afterLines = KeyLines(after, is);
    for (std::size_t i = 0; i < change.values.size(); ++i) {
        const std::wstring_view key = Trimmed(change.values[i].first);
        // A key written again later counts with its last value.
        const bool writtenAgain = std::any_of(
            change.values.begin() + static_cast<std::ptrdiff_t>(i) + 1, change.values.end(),
            [&](const auto& later) { return SameSectionName(Trimmed(later.first), key); });
        if (writtenAgain) continue;
        const std::optional<ProfileItem> written = TakeLine(afterLines, key);
        if (!written || !written->hasValue || written->value != Trimmed(change.values[i].second)) {
            return false;
        }
        TakeLine(beforeLines, key);
    }
    return beforeLines == afterLines;
}

TextRange ChangedSection(std::wstring_view before, const SectionChange& change) {
    const std::wstring_view name = change.erase ? change.section : Trimmed(change.section);
    TextRange changed = SectionText(before, name);
    if (change.erase && name.empty()) changed.found = false;
    if (!changed.found) changed = {before.size(), before.size(), false};
    return changed;
}

bool HoldsChangeAround(std::wstring_view before, TextRange changed, const SectionChange& change,
                       std::wstring_view part) {
    // The rest starts on a line of its own.
    return (changed.end == before.size() || part.empty() || IsLineEnd(part.back())) &&
           HoldsChangeInLines(
               ParseProfile(before.substr(changed.begin, changed.end - changed.begin)), change,
               ParseProfile(part));
}

bool HoldsChange(std::wstring_view before, const SectionChange& change, std::wstring_view after) {
    // The profile functions write every other section back as they read it: in a file that
    // they wrote, it keeps its text. Then only the changed section needs reading line by line.
    const TextRange changed = ChangedSection(before, change);
    const std::wstring_view head = before.substr(0, changed.begin);
    const std::wstring_view tail = before.substr(changed.end);
    if (after.size() >= head.size() + tail.size() && after.starts_with(head) &&
        after.ends_with(tail) &&
        HoldsChangeAround(before, changed, change,
                          after.substr(head.size(), after.size() - head.size() - tail.size()))) {
        return true;
    }
    return HoldsChangeInLines(ParseProfile(before), change, ParseProfile(after));
}

}  // namespace pelmora
