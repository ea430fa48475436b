// JSON strings: whatever the bytes, the result is valid JSON that reads back
// to the text (UTF-8 as it is, other bytes as the characters of their codes).
#include <gtest/gtest.h>

#include "base/JsonText.h"

#include <string>

namespace {

using namespace std::string_literals;

TEST(JsonString, EscapesQuotesBackslashesAndControlCharacters) {
    EXPECT_EQ(JsonString("plain"), "\"plain\"");
    EXPECT_EQ(JsonString(""), "\"\"");
    EXPECT_EQ(JsonString("say \"hi\""), "\"say \\\"hi\\\"\"");
    EXPECT_EQ(JsonString("C:\\dir"), "\"C:\\\\dir\"");
    EXPECT_EQ(JsonString("a\nb\rc\td"), "\"a\\nb\\rc\\td\"");
    EXPECT_EQ(JsonString("\x01\x1f"), "\"\\u0001\\u001f\"");
    EXPECT_EQ(JsonString("\b\f"), "\"\\u0008\\u000c\"");
    EXPECT_EQ(JsonString("\x7f"), "\"\\u007f\"");
    EXPECT_EQ(JsonString("a\0b"s), "\"a\\u0000b\"");  // a NUL inside the text
    EXPECT_EQ(JsonString("/ <>&'"), "\"/ <>&'\"");    // nothing else escaped
}

TEST(JsonString, WellFormedUtf8PassesThrough) {
    EXPECT_EQ(JsonString("caf\xC3\xA9"), "\"caf\xC3\xA9\"");                  // é
    EXPECT_EQ(JsonString("\xE2\x82\xAC 5"), "\"\xE2\x82\xAC 5\"");             // €
    EXPECT_EQ(JsonString("\xF0\x9F\x92\xBF"), "\"\xF0\x9F\x92\xBF\"");         // 💿, four bytes
    EXPECT_EQ(JsonString("\xF4\x8F\xBF\xBF"), "\"\xF4\x8F\xBF\xBF\"");         // U+10FFFF, the last
}

TEST(JsonString, OtherBytesBecomeTheCharactersOfTheirCodes) {
    EXPECT_EQ(JsonString("caf\xE9"), "\"caf\\u00e9\"");               // Latin-1 é
    EXPECT_EQ(JsonString("\xC3"), "\"\\u00c3\"");                     // cut short at the end
    EXPECT_EQ(JsonString("\xE2\x82"), "\"\\u00e2\\u0082\"");          // cut short
    EXPECT_EQ(JsonString("\xC0\xAF"), "\"\\u00c0\\u00af\"");          // overlong "/"
    EXPECT_EQ(JsonString("\xE0\x80\xAF"), "\"\\u00e0\\u0080\\u00af\"");  // overlong, three bytes
    EXPECT_EQ(JsonString("\xED\xA0\x80"), "\"\\u00ed\\u00a0\\u0080\"");  // a UTF-16 surrogate
    EXPECT_EQ(JsonString("\xF4\x90\x80\x80"), "\"\\u00f4\\u0090\\u0080\\u0080\"");  // above U+10FFFF
    EXPECT_EQ(JsonString("\x80" "a"), "\"\\u0080a\"");                // a lone continuation byte
    EXPECT_EQ(JsonString("\xC3\xA9\xE9"), "\"\xC3\xA9\\u00e9\"");     // good then bad
}

TEST(JsonString, FieldsQuoteTheirName) {
    EXPECT_EQ(JsonField("width", "120"), "\"width\": 120");
    EXPECT_EQ(JsonField("name", JsonString("CD")), "\"name\": \"CD\"");
}

}  // namespace
