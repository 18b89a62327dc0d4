// The point-model reader: line rules, number forms, every refusal with its line, capacity, locale, messages.
#include <algorithm>
#include <clocale>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/fake.h"
#include "tests/support/exact_buffer.h"
#include "tests/support/startup_fixtures.h"
#include "textures/point_model.h"

namespace {

// Far too large for the stack, like the production's own models.
PointModel Model;

// The text in a block of exactly its size, without the string's terminating zero: a read one byte
// past the end is an error under AddressSanitizer.
bool Parse(const std::string& text, std::string& error)
{
    const ExactBuffer exact(text);
    return ParsePointModel(exact.data(), exact.size(), Model, error);
}

// The error text of a file that must be refused.
std::string Refusal(const std::string& text)
{
    std::string error;
    EXPECT_FALSE(Parse(text, error)) << "accepted: " << text;
    return error;
}

std::string Lines(std::initializer_list<const char*> lines, const char* lineBreak = "\r\n")
{
    std::string text;
    for (const char* line : lines)
        text += std::string(line) + lineBreak;
    return text;
}

// N vertices at (i, -i, 2i) and the given number of triangles (0, 1, 2), CR LF throughout.
std::string LargeModelText(int vertices, int triangles)
{
    std::string text = std::to_string(vertices) + "\r\n";
    for (int i = 0; i < vertices; ++i)
        text += std::to_string(i) + "\r\n-" + std::to_string(i) + "\r\n" + std::to_string(2 * i) + "\r\n";
    for (int j = 0; j < triangles; ++j)
        text += "0\r\n1\r\n2\r\n";
    return text;
}

bool AllZeroFrom(int first)
{
    const auto zero = [](auto value) { return value == 0; };
    return std::all_of(Model.VertexX + first, Model.VertexX + MaxModelItems, zero) &&
           std::all_of(Model.VertexY + first, Model.VertexY + MaxModelItems, zero) &&
           std::all_of(Model.VertexZ + first, Model.VertexZ + MaxModelItems, zero) &&
           std::all_of(Model.TriangleA + first, Model.TriangleA + MaxModelItems, zero) &&
           std::all_of(Model.TriangleB + first, Model.TriangleB + MaxModelItems, zero) &&
           std::all_of(Model.TriangleC + first, Model.TriangleC + MaxModelItems, zero);
}

}  // namespace

TEST(ModelParser, ReadsTheThreeVertexFileInFileOrderAndLeavesTheRestZero)
{
    std::string error;
    // A larger model first, so that stale entries from an earlier load would show.
    ASSERT_TRUE(Parse(LargeModelText(50, 20), error)) << error;
    ASSERT_TRUE(Parse(Lines({"3", "1", "2", "3", "4", "5", "6", "7", "8", "9", "2", "0", "1"}), error)) << error;
    EXPECT_EQ(Model.VertexCount, 3);
    EXPECT_EQ(Model.TriangleCount, 1);
    EXPECT_EQ(Model.VertexY[0], 2.0);
    EXPECT_EQ(Model.VertexX[2], 7.0);
    EXPECT_EQ(Model.VertexZ[2], 9.0);
    EXPECT_EQ(Model.TriangleA[0], 2);
    EXPECT_EQ(Model.TriangleC[0], 1);
    EXPECT_TRUE(AllZeroFrom(3));

    // Refusals that stop halfway through a vertex and halfway through a triangle leave nothing behind.
    EXPECT_FALSE(Parse(Lines({"3", "1", "2", "3", "4", "5", "x"}), error));
    EXPECT_FALSE(Parse(Lines({"2", "1", "2", "3", "4", "5", "6", "0", "1", "1", "1", "0", "q"}), error));
    ASSERT_TRUE(Parse(Lines({"1", "9", "9", "9", "0", "0", "0"}), error)) << error;
    EXPECT_TRUE(AllZeroFrom(1));
}

TEST(ModelParser, AcceptsEveryNumberFormAndLineEndingTheFilesUse)
{
    std::string error;
    ASSERT_TRUE(
        Parse(Lines({"+3", "-1.5", "2E2", "-7.25e-3", ".5", "5.", "+0.125", "1e+2", "0", "-0", "0", "+1", "2"}), error))
        << error;
    const double read[] = {Model.VertexX[0], Model.VertexY[0], Model.VertexZ[0], Model.VertexX[1],
                           Model.VertexY[1], Model.VertexZ[1], Model.VertexX[2]};
    EXPECT_EQ(std::vector<double>(std::begin(read), std::end(read)),
              (std::vector<double>{-1.5, 200.0, -7.25e-3, 0.5, 5.0, 0.125, 100.0}));
    EXPECT_EQ(Model.TriangleB[0], 1);

    const std::string triangle = TriangleModelText();
    // CR alone ends a line too.
    ASSERT_TRUE(Parse(Lines({"3", "0", "0", "0", "1", "0", "0", "0", "1", "0", "0", "1", "2"}, "\r"), error)) << error;
    EXPECT_EQ(Model.TriangleCount, 1);
    // Ctrl-Z ends the file, whatever follows it, and the last index needs no break after it.
    ASSERT_TRUE(Parse(triangle + "\x1a" + "garbage\r\n", error)) << error;
    EXPECT_EQ(Model.TriangleCount, 1);
    ASSERT_TRUE(Parse(triangle.substr(0, triangle.size() - 2) + "\x1a", error)) << error;
    EXPECT_EQ(Model.TriangleC[0], 2);
    // Nor a Ctrl-Z: the file may stop on the last digit, or on a CR with no LF after it.
    for (const std::size_t cut : {1, 2}) {
        ASSERT_TRUE(Parse(triangle.substr(0, triangle.size() - cut), error)) << cut << ": " << error;
        EXPECT_EQ(Model.TriangleC[0], 2) << cut;
    }
    // Two triangles.
    ASSERT_TRUE(Parse(triangle + "2\r\n1\r\n0\r\n", error)) << error;
    EXPECT_EQ(Model.TriangleCount, 2);
    EXPECT_EQ(Model.TriangleA[1], 2);
}

TEST(ModelParser, RefusesMalformedFilesNamingTheLineAndTheFault)
{
    const std::string triangle = TriangleModelText();
    // Line feeds alone do not end lines: the whole file is line 1.
    EXPECT_EQ(Refusal(Lines({"3", "0", "0", "0", "1", "0", "0", "0", "1", "0", "0", "1", "2"}, "\n")),
              "line 1: a line feed without a carriage return (lines must end in CR LF or CR)");
    EXPECT_EQ(Refusal(triangle + "\r\n"), "line 14: the line is empty, a whole number expected");
    EXPECT_EQ(Refusal(""), "line 1: the file is empty, a vertex count expected");
    EXPECT_EQ(Refusal("\x1a" + triangle), "line 1: the file is empty, a vertex count expected");
    EXPECT_EQ(Refusal(Lines({"3", "0", "abc"})), "line 3: \"abc\" is not a number");
    EXPECT_EQ(Refusal(Lines({"3", "0", " 1"})), "line 3: \" 1\" is not a number");
    EXPECT_EQ(Refusal(Lines({"3", "0", "1.5x"})), "line 3: \"1.5x\" is not a number");
    EXPECT_EQ(Refusal(Lines({"3", "0", "inf"})), "line 3: \"inf\" is not a number");
    EXPECT_EQ(Refusal(Lines({"3", "0", "nan"})), "line 3: \"nan\" is not a number");
    EXPECT_EQ(Refusal(Lines({"3", "0", "+-1"})), "line 3: \"+-1\" is not a number");
    EXPECT_EQ(Refusal(Lines({"3", "0", "1e999"})), "line 3: \"1e999\" is out of range");
    EXPECT_EQ(Refusal(Lines({"3", "0", "\x01\xff"})), "line 3: \"??\" is not a number");
    EXPECT_EQ(Refusal(Lines({"3.0"})), "line 1: \"3.0\" is not a whole number");
    EXPECT_EQ(Refusal(Lines({"99999999999"})), "line 1: \"99999999999\" is out of range");
    EXPECT_EQ(Refusal(triangle.substr(0, triangle.size() - 3) + "1.0\r\n"), "line 13: \"1.0\" is not a whole number");
    // Long junk is cut in the message.
    EXPECT_EQ(Refusal(Lines({"3", std::string(60, 'x').c_str()})),
              "line 2: \"" + std::string(40, 'x') + "...\" is not a number");

    // Files that stop inside a group.
    EXPECT_EQ(Refusal(Lines({"3", "0", "0", "0", "1"})), "line 6: the file ends inside vertex 1");
    EXPECT_EQ(Refusal(Lines({"1", "0", "0", "0"})), "line 5: the file ends inside triangle 0");
    EXPECT_EQ(Refusal(triangle + "0\r\n1\r\n"), "line 16: the file ends inside triangle 1");
    // And one that stops on a sign, the byte that would say what the sign belongs to missing.
    EXPECT_EQ(Refusal("3\r\n0\r\n+"), "line 3: \"+\" is not a number");
    EXPECT_EQ(Refusal(triangle.substr(0, triangle.size() - 3) + "+"), "line 13: \"+\" is not a whole number");
}

TEST(ModelParser, RefusesCountsAndIndicesThatWouldReachPastTheArrays)
{
    EXPECT_EQ(Refusal(Lines({"0", "0", "0", "0"})), "line 1: the vertex count 0 is outside 1 to 100001");
    EXPECT_EQ(Refusal(Lines({"-4"})), "line 1: the vertex count -4 is outside 1 to 100001");
    EXPECT_EQ(Refusal(Lines({"100002"})), "line 1: the vertex count 100002 is outside 1 to 100001");

    // Indices are checked against the arrays, not against the vertices read.
    const std::string prefix = "3\r\n0\r\n0\r\n0\r\n1\r\n0\r\n0\r\n0\r\n1\r\n0\r\n";
    EXPECT_EQ(Refusal(prefix + "0\r\n1\r\n100001\r\n"), "line 13: vertex index 100001 is outside 0 to 100000");
    EXPECT_EQ(Refusal(prefix + "-1\r\n1\r\n2\r\n"), "line 11: vertex index -1 is outside 0 to 100000");
    EXPECT_EQ(Refusal(prefix + "0\r\n1\r\n2\r\n2147483647\r\n0\r\n0\r\n"),
              "line 14: vertex index 2147483647 is outside 0 to 100000");
    EXPECT_EQ(Refusal(prefix + "0\r\n-2147483648\r\n2\r\n"),
              "line 12: vertex index -2147483648 is outside 0 to 100000");

    std::string error;
    ASSERT_TRUE(Parse(LargeModelText(MaxModelItems, MaxModelItems), error)) << error;
    EXPECT_EQ(Model.VertexCount, MaxModelItems);
    EXPECT_EQ(Model.TriangleCount, MaxModelItems);
    EXPECT_EQ(Model.VertexZ[MaxModelItems - 1], 2.0 * (MaxModelItems - 1));
    EXPECT_EQ(Model.TriangleC[MaxModelItems - 1], 2);

    // One triangle more than the arrays hold is refused before anything is stored for it.
    const int firstLineOfExtraTriangle = 1 + 3 * 3 + 3 * MaxModelItems + 1;
    EXPECT_EQ(Refusal(LargeModelText(3, MaxModelItems + 1)),
              "line " + std::to_string(firstLineOfExtraTriangle) + ": more than 100001 triangles");
}

// Files may name vertices they never give, as long as the index stays inside the arrays: such a
// corner is an entry left zero, the origin, even when a larger model or a refused file was read
// into the same arrays before.
TEST(ModelParser, IndicesPastTheVerticesReadLoadAsCornersAtTheOrigin)
{
    const std::string prefix = "3\r\n1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n9\r\n";
    const std::string pastTheVertices = prefix + "0\r\n3\r\n100000\r\n49\r\n2\r\n1\r\n";
    auto expectCornersAtTheOrigin = [](const std::string& when) {
        EXPECT_EQ(Model.VertexCount, 3) << when;
        EXPECT_EQ(Model.TriangleCount, 2) << when;
        EXPECT_EQ(Model.TriangleB[0], 3) << when;
        EXPECT_EQ(Model.TriangleC[0], MaxModelItems - 1) << when;
        EXPECT_EQ(Model.TriangleA[1], 49) << when;
        EXPECT_EQ(Model.VertexZ[2], 9.0) << when;
        for (const int index : {3, 49, MaxModelItems - 1})
            EXPECT_TRUE(Model.VertexX[index] == 0 && Model.VertexY[index] == 0 && Model.VertexZ[index] == 0)
                << when << ": vertex " << index << " is not at the origin";
        EXPECT_TRUE(AllZeroFrom(3)) << when;
    };
    std::string error;

    // After a model that fills the arrays.
    ASSERT_TRUE(Parse(LargeModelText(MaxModelItems, 1), error)) << error;
    ASSERT_TRUE(Parse(pastTheVertices, error)) << error;
    expectCornersAtTheOrigin("after a full model");

    // After a 50-vertex model, and after a file refused halfway through its fourth vertex.
    ASSERT_TRUE(Parse(LargeModelText(50, 20), error)) << error;
    ASSERT_TRUE(Parse(pastTheVertices, error)) << error;
    expectCornersAtTheOrigin("after 50 vertices");
    EXPECT_FALSE(Parse(Lines({"5", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11"}), error));
    ASSERT_TRUE(Parse(pastTheVertices, error)) << error;
    expectCornersAtTheOrigin("after a refused file");

    // The index right past the vertices and the arrays' last one, on their own.
    ASSERT_TRUE(Parse(prefix + "3\r\n3\r\n3\r\n", error)) << error;
    EXPECT_EQ(Model.TriangleA[0], 3);
    EXPECT_EQ(Model.VertexX[3], 0.0);
    ASSERT_TRUE(Parse(prefix + "100000\r\n0\r\n1\r\n", error)) << error;
    EXPECT_EQ(Model.TriangleA[0], 100000);
    EXPECT_EQ(Model.VertexX[100000], 0.0);
}

TEST(ModelParser, ReadsTheSameUnderALocaleWithADecimalComma)
{
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr)
        GTEST_SKIP() << "the de_DE.UTF-8 locale is not installed";
    std::string error;
    const bool dotAccepted = Parse(Lines({"1", "1.5", "-2.25e1", "0.125", "0", "0", "0"}), error);
    const double x = Model.VertexX[0], y = Model.VertexY[0], z = Model.VertexZ[0];
    const std::string commaError = Refusal(Lines({"1", "1,5", "0", "0", "0", "0", "0"}));
    std::setlocale(LC_ALL, previous.c_str());

    ASSERT_TRUE(dotAccepted) << error;
    EXPECT_EQ(x, 1.5);
    EXPECT_EQ(y, -22.5);
    EXPECT_EQ(z, 0.125);
    EXPECT_EQ(commaError, "line 2: \"1,5\" is not a number");
}

TEST(ModelParser, LoadShowsOneMessageNamingTheFileAsTheProductionWroteIt)
{
    ScratchWorkDir workDir;
    FakeReset();
    WriteTextFile("data/good.txt", TriangleModelText());
    EXPECT_TRUE(LoadPointModel("data\\good.txt", Model));
    EXPECT_EQ(Model.TriangleCount, 1);
    EXPECT_TRUE(FakeCalls().empty());

    FakeReset();
    EXPECT_FALSE(LoadPointModel("data\\missing.txt", Model));
    EXPECT_EQ(Model.VertexCount, 0);
    ASSERT_EQ(FakeCalls().size(), 1u);
    EXPECT_EQ(FakeCalls()[0], "MessageBox Model File Error: data\\missing.txt cannot be read");

    FakeReset();
    WriteTextFile("data/bad.txt", TriangleModelText() + "\r\n");
    EXPECT_FALSE(LoadPointModel("data\\bad.txt", Model));
    ASSERT_EQ(FakeCalls().size(), 1u);
    EXPECT_EQ(FakeCalls()[0],
              "MessageBox Model File Error: data\\bad.txt, line 14: the line is empty, a whole number expected");

    // A directory opens but does not read.
    FakeReset();
    EXPECT_FALSE(LoadPointModel("data", Model));
    ASSERT_EQ(FakeCalls().size(), 1u);
    EXPECT_EQ(FakeCalls()[0], "MessageBox Model File Error: data cannot be read");
}
