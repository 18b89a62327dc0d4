// Point-model reader: a vertex count, x y z per vertex, then three indices per triangle, one per line.
#include "textures/point_model.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string_view>
#include <system_error>
#include <vector>

#include "platform/platform.h"
#include "textures/decimal_number.h"

PointModel ModelRozgwiazda;
PointModel ModelRoza;

// Lines end at CR (an LF right after it belongs to the break); a lone LF stays in the line's
// text, as in the files' original text mode. Ctrl-Z ends the file.
struct LineReader {
    const char* Pos;
    const char* End;
    int LineNumber;
};

static constexpr char CarriageReturn = '\r';
static constexpr char LineFeed = '\n';
static constexpr char EndOfFileMark = '\x1a';
static constexpr std::size_t ShownTextLimit = 40;

static bool AtEnd(const LineReader& reader)
{
    return reader.Pos == reader.End;
}

static std::string_view ReadLine(LineReader& reader)
{
    const char* start = reader.Pos;
    while (reader.Pos != reader.End && *reader.Pos != CarriageReturn)
        ++reader.Pos;
    const std::string_view line(start, static_cast<std::size_t>(reader.Pos - start));
    if (reader.Pos != reader.End) {
        ++reader.Pos;
        if (reader.Pos != reader.End && *reader.Pos == LineFeed)
            ++reader.Pos;
    }
    ++reader.LineNumber;
    return line;
}

static std::string LinePrefix(int lineNumber)
{
    return "line " + std::to_string(lineNumber) + ": ";
}

// What was wrong with a line that did not convert, in words an asset author can act on.
static std::string DescribeBadLine(std::string_view text, const char* kind)
{
    if (text.empty())
        return "the line is empty, " + std::string(kind) + " expected";
    if (text.find(LineFeed) != std::string_view::npos)
        return "a line feed without a carriage return (lines must end in CR LF or CR)";
    std::string shown;
    for (char c : text.substr(0, ShownTextLimit))
        shown += (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) > 0x7e) ? '?' : c;
    if (text.size() > ShownTextLimit)
        shown += "...";
    return "\"" + shown + "\" is not " + kind;
}

// The digits after an optional sign; from_chars itself takes no '+'.
static std::string_view SkipPlusSign(std::string_view text)
{
    if (text.size() > 1 && text[0] == '+' && text[1] != '-' && text[1] != '+')
        return text.substr(1);
    return text;
}

// Decimal integer, whole line, any locale.
static bool ConvertInteger(std::string_view line, std::int32_t& value, std::string& reason)
{
    const std::string_view text = SkipPlusSign(line);
    const auto [end, status] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (status == std::errc::result_out_of_range && end == text.data() + text.size()) {
        reason = std::string("\"").append(line).append("\" is out of range");
        return false;
    }
    if (status != std::errc() || end != text.data() + text.size() || text.empty()) {
        reason = DescribeBadLine(line, "a whole number");
        return false;
    }
    return true;
}

// std::from_chars for double, where the C++ library has it; the web build's does not.
static std::from_chars_result ReadDouble(const char* first, const char* last, double& value)
{
#ifdef __EMSCRIPTEN__
    return ReadDecimalNumber(first, last, value);
#else
    return std::from_chars(first, last, value, std::chars_format::general);
#endif
}

// Decimal number with '.' as the separator and an optional exponent, whole line, any locale.
static bool ConvertReal(std::string_view line, double& value, std::string& reason)
{
    const std::string_view text = SkipPlusSign(line);
    const std::size_t first = (!text.empty() && text[0] == '-') ? 1 : 0;
    // from_chars would also take "inf" and "nan", which no model file means.
    const bool startsLikeNumber =
        first < text.size() && ((text[first] >= '0' && text[first] <= '9') || text[first] == '.');
    if (!startsLikeNumber) {
        reason = DescribeBadLine(line, "a number");
        return false;
    }
    const auto [end, status] = ReadDouble(text.data(), text.data() + text.size(), value);
    if (status == std::errc::result_out_of_range && end == text.data() + text.size()) {
        reason = std::string("\"").append(line).append("\" is out of range");
        return false;
    }
    if (status != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) {
        reason = DescribeBadLine(line, "a number");
        return false;
    }
    return true;
}

static bool ReadReal(LineReader& reader, const char* group, std::int32_t index, double& value, std::string& error)
{
    if (AtEnd(reader)) {
        error = LinePrefix(reader.LineNumber + 1) + "the file ends inside " + group + " " + std::to_string(index);
        return false;
    }
    const std::string_view line = ReadLine(reader);
    std::string reason;
    if (!ConvertReal(line, value, reason)) {
        error = LinePrefix(reader.LineNumber) + reason;
        return false;
    }
    return true;
}

static bool ReadInteger(LineReader& reader, const char* group, std::int32_t index, std::int32_t& value,
                        std::string& error)
{
    if (AtEnd(reader)) {
        error = LinePrefix(reader.LineNumber + 1) + "the file ends inside " + group + " " + std::to_string(index);
        return false;
    }
    const std::string_view line = ReadLine(reader);
    std::string reason;
    if (!ConvertInteger(line, value, reason)) {
        error = LinePrefix(reader.LineNumber) + reason;
        return false;
    }
    return true;
}

// Indices are not compared with the vertex count: model files may use any index inside the arrays,
// and one past the vertices read names an entry that is still zero, a corner at the origin. Only an index that would
// reach outside the arrays is refused; it is never stored.
static bool ReadVertexIndex(LineReader& reader, std::int32_t triangle, std::int32_t& value, std::string& error)
{
    std::int32_t index = 0;
    if (!ReadInteger(reader, "triangle", triangle, index, error))
        return false;
    if (index < 0 || index >= MaxModelItems) {
        error = LinePrefix(reader.LineNumber) + "vertex index " + std::to_string(index) + " is outside 0 to " +
                std::to_string(MaxModelItems - 1);
        return false;
    }
    value = index;
    return true;
}

// Entries past the counts are zero in static storage and the parser keeps them so: a refused
// file may leave one entry half written at index VertexCount (or TriangleCount), no further.
// Clearing up to there is enough, and far cheaper than the whole arrays. Triangles may name
// vertices past the count, so a model read after a larger one must find those entries zero too.
static void ClearModel(PointModel& model)
{
    const std::int32_t vertices = std::min(model.VertexCount + 1, MaxModelItems);
    const std::int32_t triangles = std::min(model.TriangleCount + 1, MaxModelItems);
    std::fill_n(model.VertexX, vertices, 0.0);
    std::fill_n(model.VertexY, vertices, 0.0);
    std::fill_n(model.VertexZ, vertices, 0.0);
    std::fill_n(model.TriangleA, triangles, 0);
    std::fill_n(model.TriangleB, triangles, 0);
    std::fill_n(model.TriangleC, triangles, 0);
    model.VertexCount = 0;
    model.TriangleCount = 0;
}

bool ParsePointModel(const std::uint8_t* bytes, std::size_t size, PointModel& model, std::string& error)
{
    ClearModel(model);
    const char* begin = reinterpret_cast<const char*>(bytes);
    const char* end = std::find(begin, begin + size, EndOfFileMark);
    LineReader reader{begin, end, 0};

    if (AtEnd(reader)) {
        error = LinePrefix(1) + "the file is empty, a vertex count expected";
        return false;
    }
    std::int32_t vertexTotal = 0;
    std::string reason;
    if (!ConvertInteger(ReadLine(reader), vertexTotal, reason)) {
        error = LinePrefix(1) + reason;
        return false;
    }
    if (vertexTotal < 1 || vertexTotal > MaxModelItems) {
        error = LinePrefix(1) + "the vertex count " + std::to_string(vertexTotal) + " is outside 1 to " +
                std::to_string(MaxModelItems);
        return false;
    }

    // The first vertex and the first triangle are read before any test: a model has at least one of each.
    do {
        const std::int32_t i = model.VertexCount;
        if (!ReadReal(reader, "vertex", i, model.VertexX[i], error) ||
            !ReadReal(reader, "vertex", i, model.VertexY[i], error) ||
            !ReadReal(reader, "vertex", i, model.VertexZ[i], error))
            return false;
        ++model.VertexCount;
    } while (model.VertexCount != vertexTotal);

    do {
        const std::int32_t j = model.TriangleCount;
        if (j == MaxModelItems) {
            error = LinePrefix(reader.LineNumber + 1) + "more than " + std::to_string(MaxModelItems) + " triangles";
            return false;
        }
        if (!ReadVertexIndex(reader, j, model.TriangleA[j], error) ||
            !ReadVertexIndex(reader, j, model.TriangleB[j], error) ||
            !ReadVertexIndex(reader, j, model.TriangleC[j], error))
            return false;
        ++model.TriangleCount;
    } while (!AtEnd(reader));
    return true;
}

bool LoadPointModel(const char* fileName, PointModel& model)
{
    std::vector<std::uint8_t> bytes;
    std::string error;
    if (!SysReadFile(fileName, bytes)) {
        ClearModel(model);
        error = std::string(fileName) + " cannot be read";
    } else if (!ParsePointModel(bytes.data(), bytes.size(), model, error)) {
        error = std::string(fileName) + ", " + error;
    } else {
        return true;
    }
    SysMessageBox(error.c_str(), ModelErrorCaption, MbOk);
    return false;
}
