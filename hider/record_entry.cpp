#include "record_entry.h"

#include <vector>

#include "title_cut.h"

namespace hider {

namespace {

constexpr char16_t kFormat[] = u"1";
constexpr std::size_t kMaxClassLength = 256;  // the longest class name Windows allows

std::u16string Digits(std::uint64_t value, unsigned base, std::size_t width = 1) {
    static constexpr char16_t kDigits[] = u"0123456789ABCDEF";
    std::u16string digits;
    do {
        digits.insert(digits.begin(), kDigits[value % base]);
        value /= base;
    } while (value != 0);
    if (digits.size() < width) {
        digits.insert(0, width - digits.size(), u'0');
    }
    return digits;
}

// A whole unsigned number in the base, no sign, no spaces, no overflow.
std::optional<std::uint64_t> Number(std::u16string_view text, unsigned base, std::uint64_t max) {
    if (text.empty() || text.size() > 20) {
        return std::nullopt;
    }
    std::uint64_t value = 0;
    for (char16_t c : text) {
        unsigned digit = 0;
        if (c >= u'0' && c <= u'9') {
            digit = static_cast<unsigned>(c - u'0');
        } else if (c >= u'A' && c <= u'F') {
            digit = static_cast<unsigned>(c - u'A') + 10;
        } else {
            return std::nullopt;
        }
        if (digit >= base || value > (max - digit) / base) {
            return std::nullopt;
        }
        value = value * base + digit;
    }
    return value;
}

}  // namespace

bool IsSameWindow(const WindowIdentity& recorded, const WindowIdentity& now) {
    // A start time that could not be read (access denied) is no evidence
    // either way; the thread id, alive only with its process, still is.
    const bool startsAgree =
        recorded.processStart == 0 || now.processStart == 0 || recorded.processStart == now.processStart;
    return recorded.handle == now.handle && recorded.processId == now.processId && startsAgree &&
           recorded.threadId == now.threadId && recorded.className == now.className;
}

std::u16string EntryName(std::uint32_t order) {
    return Digits(order, 16, 8);
}

// "1 <handle, hex> <process> <process start> <thread> <class length> <class><title>"
std::u16string EncodeEntry(const RecordEntry& entry) {
    const WindowIdentity& w = entry.window;
    std::u16string text = kFormat;
    for (const std::u16string& field :
         {Digits(w.handle, 16), Digits(w.processId, 10), Digits(w.processStart, 10), Digits(w.threadId, 10),
          Digits(w.className.size(), 10)}) {
        text += u' ';
        text += field;
    }
    text += u' ';
    text += w.className;
    text += entry.title;
    return text;
}

std::optional<RecordEntry> DecodeEntry(std::u16string_view name, std::u16string_view text) {
    RecordEntry entry;
    const auto order = name.size() == 8 ? Number(name, 16, UINT32_MAX) : std::nullopt;
    if (!order) {
        return std::nullopt;
    }
    entry.order = static_cast<std::uint32_t>(*order);

    // Six fields, each ended by a space; the rest is class and title.
    std::vector<std::u16string_view> fields;
    std::size_t start = 0;
    while (fields.size() < 6) {
        const std::size_t space = text.find(u' ', start);
        if (space == std::u16string_view::npos) {
            return std::nullopt;
        }
        fields.push_back(text.substr(start, space - start));
        start = space + 1;
    }
    if (fields[0] != kFormat) {
        return std::nullopt;
    }
    const auto handle = Number(fields[1], 16, UINT64_MAX);
    const auto process = Number(fields[2], 10, UINT32_MAX);
    const auto processStart = Number(fields[3], 10, UINT64_MAX);
    const auto thread = Number(fields[4], 10, UINT32_MAX);
    const auto classLength = Number(fields[5], 10, kMaxClassLength);
    const std::u16string_view rest = text.substr(start);
    if (!handle || *handle == 0 || !process || !processStart || !thread || !classLength || *classLength > rest.size()) {
        return std::nullopt;
    }
    const std::u16string_view title = rest.substr(static_cast<std::size_t>(*classLength));
    if (title.size() > kRowTitleLength) {
        return std::nullopt;
    }
    entry.window = {*handle, static_cast<std::uint32_t>(*process), *processStart, static_cast<std::uint32_t>(*thread),
                    std::u16string(rest.substr(0, static_cast<std::size_t>(*classLength)))};
    entry.title = title;
    return entry;
}

}  // namespace hider
