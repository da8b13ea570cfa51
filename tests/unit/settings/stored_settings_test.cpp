#include "stored_settings.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using settings::StoredValue;

StoredValue Bytes(std::initializer_list<std::uint8_t> bytes) {
    StoredValue value;
    value.size = bytes.size();
    std::size_t i = 0;
    for (std::uint8_t b : bytes) {
        if (i < value.bytes.size()) value.bytes[i] = b;
        ++i;
    }
    return value;
}

StoredValue Longer(std::size_t size) {
    return StoredValue{size, {}};
}

TEST(StoredSettings, EachValueReadsThroughAFourByteBuffer) {
    struct Case {
        const char* what;
        std::optional<StoredValue> stored;
        std::optional<std::uint32_t> read;
    };
    const Case cases[] = {
        {"absent", std::nullopt, std::nullopt},
        {"REG_DWORD 0x77", Bytes({0x77, 0, 0, 0}), 0x77u},
        {"4 bytes of another type, little-endian", Bytes({0x01, 0x02, 0x03, 0x04}), 0x04030201u},
        {"a string of one character and its terminator", Bytes({'1', 0, 0, 0}), 0x31u},
        {"longer than 4 bytes (a 64-bit value)", Longer(8), std::nullopt},
        {"a very long string", Longer(70000), std::nullopt},
        {"5 bytes", Longer(5), std::nullopt},
        {"3 bytes, widened with zeros", Bytes({0xAA, 0xBB, 0xCC}), 0xCCBBAAu},
        {"2 bytes", Bytes({0x34, 0x12}), 0x1234u},
        {"1 byte", Bytes({0x07}), 0x07u},
        {"empty", Bytes({}), std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(settings::DecodeValue(c.stored), c.read) << c.what;
    }
}

TEST(StoredSettings, ShortValuesNeverPickUpBytesOfAnEarlierRead) {
    // A 1-byte value whose buffer still holds bytes from before.
    StoredValue value{1, {0x41, 0xEE, 0xEE, 0xEE}};
    EXPECT_EQ(settings::DecodeValue(value), 0x41u);
}

TEST(StoredSettings, MergeTakesWhatWasReadAndKeepsTheRest) {
    const settings::Settings defaults;
    struct Case {
        const char* what;
        settings::StoredSettings stored;
        settings::Settings expected;
    };
    const Case cases[] = {
        {"nothing stored: the defaults", {}, {0xC0, 0, true, true}},
        {"Alt+F8", {Bytes({0x77, 0, 0, 0}), Bytes({4, 0, 0, 0}), {}, {}}, {0x77, 4, true, true}},
        {"upper 16 bits dropped", {Bytes({0x77, 0, 0x01, 0x80}), Bytes({0x02, 0, 0xFF, 0xFF}), {}, {}},
         {0x77, 2, true, true}},
        {"options 0", {{}, {}, Bytes({0, 0, 0, 0}), Bytes({0, 0, 0, 0})}, {0xC0, 0, false, false}},
        {"options 1", {{}, {}, Bytes({1, 0, 0, 0}), Bytes({1, 0, 0, 0})}, {0xC0, 0, true, true}},
        {"any other option value is on", {{}, {}, Bytes({7, 0, 0, 0}), Bytes({0, 0, 0, 0x80})}, {0xC0, 0, true, true}},
        {"a value too long keeps the setting", {Longer(8), Longer(12), Longer(5), Longer(100)}, {0xC0, 0, true, true}},
        {"only the key's modifiers stored", {{}, Bytes({1, 0, 0, 0}), {}, {}}, {0xC0, 1, true, true}},
        {"key code 0 is no key: the default", {Bytes({0, 0, 0, 0}), {}, {}, {}}, {0xC0, 0, true, true}},
        {"key code 0xFF is no key", {Bytes({0xFF, 0, 0, 0}), {}, {}, {}}, {0xC0, 0, true, true}},
        {"key codes 1 and 0xFE are keys", {Bytes({0x01, 0, 0, 0}), {}, {}, {}}, {0x01, 0, true, true}},
        {"0xFE", {Bytes({0xFE, 0, 0, 0}), {}, {}, {}}, {0xFE, 0, true, true}},
        {"a key code above 0xFF is no key", {Bytes({0x77, 0x01, 0, 0}), Bytes({2, 0, 0, 0}), {}, {}},
         {0xC0, 2, true, true}},
    };
    for (const Case& c : cases) {
        const settings::Settings merged = settings::Merge(defaults, c.stored);
        EXPECT_EQ(merged.hideKeyVk, c.expected.hideKeyVk) << c.what;
        EXPECT_EQ(merged.hideKeyModifiers, c.expected.hideKeyModifiers) << c.what;
        EXPECT_EQ(merged.invisibleOnDrop, c.expected.invisibleOnDrop) << c.what;
        EXPECT_EQ(merged.hideSelfAfterShow, c.expected.hideSelfAfterShow) << c.what;
    }
}

}  // namespace
