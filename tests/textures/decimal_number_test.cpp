// The web build reads the models' numbers with ReadDecimalNumber (strtod) in place of
// std::from_chars, which its C++ library lacks. Both are run here on the same texts, written and
// random, and must give the same end, the same error and the same bits.
#include <gtest/gtest.h>

#include <charconv>
#include <cstring>
#include <random>
#include <string>

#include "textures/decimal_number.h"

namespace {

// Both readers on text, each from a value of 7, with what they said side by side on failure.
void ExpectSameReading(const std::string& text)
{
    const char* first = text.data();
    const char* last = first + text.size();
    double expected = 7.0;
    double actual = 7.0;
    const std::from_chars_result want = std::from_chars(first, last, expected, std::chars_format::general);
    const std::from_chars_result got = ReadDecimalNumber(first, last, actual);
    EXPECT_EQ(got.ptr - first, want.ptr - first) << '"' << text << '"';
    EXPECT_EQ(got.ec, want.ec) << '"' << text << '"';
    EXPECT_EQ(std::memcmp(&actual, &expected, sizeof actual), 0)
        << '"' << text << "\": " << actual << " against " << expected;
}

TEST(DecimalNumber, WrittenCasesReadAsFromChars)
{
    for (const char* text :
         {"0",
          "1",
          "-1",
          "1.5",
          ".5",
          "5.",
          "-.5",
          "1e3",
          "1E-3",
          "1.25e+2",
          "1e",
          "1e+",
          "1e-",
          "1.5.5",
          "1-2",
          "12abc",
          "+1",
          "-",
          ".",
          "-.",
          "e5",
          "",
          " 1",
          "0x10",
          "-0",
          "1e400",
          "-1e400",
          "1e-400",
          "4.9e-324",
          "2.2250738585072014e-308",
          "1e-310",
          "179769313486231570000000000000000000000000000000000000000"
          "00000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000"
          "00000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000"
          "00000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000"
          "000000",
          "0.1000000000000000055511151231257827021181583404541015625",
          "3.14159 ",
          "2.5e0x"})
        ExpectSameReading(text);
}

// The one difference, on purpose: no model file means infinity or "not a number" (the reader turns
// away any text that does not start like a number before it gets here).
TEST(DecimalNumber, InfinityAndNotANumberAreNotNumbers)
{
    for (const std::string text : {"inf", "nan", "-inf", "infinity"}) {
        double value = 7.0;
        const std::from_chars_result got = ReadDecimalNumber(text.data(), text.data() + text.size(), value);
        EXPECT_EQ(got.ec, std::errc::invalid_argument) << text;
        EXPECT_EQ(got.ptr, text.data()) << text;
        EXPECT_EQ(value, 7.0) << text;
    }
}

// Texts from the characters a number is made of, with a few that end one, up to 14 long.
TEST(DecimalNumber, RandomTextsReadAsFromChars)
{
    const std::string alphabet = "0123456789012345678901234567890123456789+-..eE x";
    std::mt19937 random(20041210);
    for (int i = 0; i < 200000; ++i) {
        std::string text(random() % 15, '0');
        for (char& c : text)
            c = alphabet[random() % alphabet.size()];
        ExpectSameReading(text);
        if (HasFailure())
            return;
    }
}

}  // namespace
