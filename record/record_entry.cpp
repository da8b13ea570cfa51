#include "record_entry.h"

#include <utility>

namespace hider {

namespace {

// The formats this program writes and reads; an entry of any other is left
// to the program that wrote it. An entry whose active window is the row's own
// is written as before, so earlier versions still read it.
constexpr char16_t kFormat[] = u"2";
constexpr char16_t kFormatWithActive[] = u"3";
constexpr std::size_t kMaxClassLength = 256;  // the longest class name Windows allows
constexpr std::size_t kMaxWindows = 1 + kMaxOwnedWindows;

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

// A whole unsigned number in the base, no sign, no spaces, no overflow. Hex
// digits in either case: the registry takes names of any case as one, and a
// value typed by hand may have them in lower case.
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
        } else if (c >= u'a' && c <= u'f') {
            digit = static_cast<unsigned>(c - u'a') + 10;
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

// Reads an entry's text from the front: fields ended by a space, and a class
// name of a given length.
class Reader {
public:
    explicit Reader(std::u16string_view text) : m_rest(text) {}

    std::optional<std::u16string_view> Field() {
        const std::size_t space = m_rest.find(u' ');
        if (space == std::u16string_view::npos) {
            return std::nullopt;
        }
        const std::u16string_view field = m_rest.substr(0, space);
        m_rest.remove_prefix(space + 1);
        return field;
    }
    std::optional<std::uint64_t> NumberField(unsigned base, std::uint64_t max) {
        const auto field = Field();
        return field ? Number(*field, base, max) : std::nullopt;
    }
    std::optional<std::u16string_view> Take(std::size_t length) {
        if (length > m_rest.size()) {
            return std::nullopt;
        }
        const std::u16string_view taken = m_rest.substr(0, length);
        m_rest.remove_prefix(length);
        return taken;
    }
    std::u16string_view Rest() { return std::exchange(m_rest, {}); }
    bool AtEnd() const { return m_rest.empty(); }

private:
    std::u16string_view m_rest;
};

void AppendWindow(std::u16string& text, const WindowIdentity& w) {
    for (const std::u16string& field : {Digits(w.handle, 16), Digits(w.processId, 10), Digits(w.processStart, 10),
                                        Digits(w.threadId, 10), Digits(w.className.size(), 10)}) {
        text += u' ';
        text += field;
    }
    text += u' ';
    text += w.className;
}

// "<handle, hex> <process> <process start> <thread> <class length> <class>",
// the space before it already read.
std::optional<WindowIdentity> ReadWindow(Reader& reader) {
    const auto handle = reader.NumberField(16, UINT64_MAX);
    const auto process = reader.NumberField(10, UINT32_MAX);
    const auto processStart = reader.NumberField(10, UINT64_MAX);
    const auto thread = reader.NumberField(10, UINT32_MAX);
    const auto classLength = reader.NumberField(10, kMaxClassLength);
    if (!handle || *handle == 0 || !process || !processStart || !thread || !classLength) {
        return std::nullopt;
    }
    const auto className = reader.Take(static_cast<std::size_t>(*classLength));
    if (!className) {
        return std::nullopt;
    }
    return WindowIdentity{*handle, static_cast<std::uint32_t>(*process), *processStart,
                          static_cast<std::uint32_t>(*thread), std::u16string(*className)};
}

}  // namespace

bool IsSameWindow(const WindowIdentity& recorded, const WindowIdentity& now) {
    if (recorded.handle != now.handle || recorded.className != now.className) {
        return false;
    }
    if (recorded.className == kConsoleClass) {
        return true;
    }
    // A start time that could not be read (access denied) is no evidence
    // either way; the thread id, alive only with its process, still is.
    const bool startsAgree =
        recorded.processStart == 0 || now.processStart == 0 || recorded.processStart == now.processStart;
    return recorded.processId == now.processId && startsAgree && recorded.threadId == now.threadId;
}

std::u16string EntryName(std::uint32_t order) {
    return Digits(order, 16, 8);
}

std::optional<std::uint32_t> OrderOfName(std::u16string_view name) {
    const auto order = name.size() == 8 ? Number(name, 16, UINT32_MAX) : std::nullopt;
    return order ? std::optional<std::uint32_t>(static_cast<std::uint32_t>(*order)) : std::nullopt;
}

// "2 <windows>" and each window as AppendWindow writes it: the row's own
// window first, then the windows it owned, top first. "3": the same, then
// " <active>", when another than the row's own window was active.
std::u16string EncodeEntry(const RecordEntry& entry) {
    const bool withActive = entry.active != 0 && entry.active <= entry.owned.size();
    std::u16string text = withActive ? kFormatWithActive : kFormat;
    text += u' ';
    text += Digits(1 + entry.owned.size(), 10);
    AppendWindow(text, entry.window);
    for (const WindowIdentity& owned : entry.owned) {
        AppendWindow(text, owned);
    }
    if (withActive) {
        text += u' ';
        text += Digits(entry.active, 10);
    }
    return text;
}

std::optional<RecordEntry> DecodeEntry(std::u16string_view name, std::u16string_view text) {
    const auto order = OrderOfName(name);
    Reader reader(text);
    const auto format = reader.Field();
    const bool withActive = format && *format == kFormatWithActive;
    if (!order || !format || (*format != kFormat && !withActive)) {
        return std::nullopt;
    }
    const auto windows = reader.NumberField(10, kMaxWindows);
    if (!windows || *windows == 0) {
        return std::nullopt;
    }
    RecordEntry entry;
    entry.order = *order;
    for (std::uint64_t n = 0; n < *windows; ++n) {
        // The count's field took the space before the first window.
        if (n > 0 && reader.Take(1) != std::u16string_view(u" ")) {
            return std::nullopt;
        }
        std::optional<WindowIdentity> window = ReadWindow(reader);
        if (!window) {
            return std::nullopt;
        }
        if (n == 0) {
            entry.window = std::move(*window);
        } else {
            entry.owned.push_back(std::move(*window));
        }
    }
    if (withActive) {
        const auto space = reader.Take(1);
        const auto index = Number(reader.Rest(), 10, kMaxOwnedWindows);
        if (space != std::u16string_view(u" ") || !index || *index == 0 || *index > entry.owned.size()) {
            return std::nullopt;
        }
        entry.active = static_cast<std::uint32_t>(*index);
    }
    if (!reader.AtEnd()) {
        return std::nullopt;
    }
    return entry;
}

}  // namespace hider
